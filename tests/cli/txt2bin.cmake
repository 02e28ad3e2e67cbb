# formtext txt2bin and txt2dfm. Included by tests/cli (adds the cases) and run
# with -P by each case: prepares OUT, runs formtext, checks the exit status,
# the message on stderr and what OUT holds afterwards.
if(CMAKE_SCRIPT_MODE_FILE)
  set(out ${WORK}.result)
  file(REMOVE ${out})
  if(PRESET)
    file(WRITE ${out} "${PRESET}")
  endif()
  set(in_args)
  if(INPUT)
    set(in_args INPUT_FILE ${INPUT})
  endif()
  string(REPLACE "@OUT@" "${out}" args "${ARGS}")
  separate_arguments(argv UNIX_COMMAND "${args}")
  execute_process(COMMAND ${FORMTEXT} ${argv} ${in_args}
                  RESULT_VARIABLE status OUTPUT_VARIABLE stdout ERROR_VARIABLE err)
  if(NOT status STREQUAL "${STATUS}")
    message(FATAL_ERROR "exit status ${status}, expected ${STATUS}; stderr: ${err}")
  endif()
  if(ERROR AND NOT err MATCHES "${ERROR}")
    message(FATAL_ERROR "stderr lacks '${ERROR}': ${err}")
  endif()
  if(EXPECTED)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${out} ${EXPECTED} RESULT_VARIABLE differ)
    if(differ)
      file(READ ${out} got HEX)
      message(FATAL_ERROR "OUT differs from ${EXPECTED}; got (hex):\n${got}")
    endif()
  endif()
  if(PRESET AND NOT STATUS STREQUAL "0")
    file(READ ${out} kept)
    if(NOT kept STREQUAL "${PRESET}")
      message(FATAL_ERROR "OUT was changed by a failed conversion: ${kept}")
    endif()
  elseif(ABSENT AND EXISTS ${out})
    message(FATAL_ERROR "a failed conversion left ${out} behind")
  endif()
  file(GLOB leftovers ${WORK}.result?*)
  if(leftovers)
    message(FATAL_ERROR "temporary files left behind: ${leftovers}")
  endif()
  return()
endif()

set(vc_t2b_sample ${VC_ROOT}/tests/cli/data/bin2txt/sample.expected)
set(vc_t2b_bad ${VC_ROOT}/tests/cli/data/txt2bin/bad.txt)
function(vc_txt2bin_test name)
  cmake_parse_arguments(S "ABSENT" "ARGS;INPUT;STATUS;EXPECTED;ERROR;PRESET" "" ${ARGN})
  add_test(NAME cli_txt2bin_${name} COMMAND ${CMAKE_COMMAND}
    -DFORMTEXT=$<TARGET_FILE:formtext> "-DARGS=${S_ARGS}" -DINPUT=${S_INPUT} -DSTATUS=${S_STATUS}
    -DEXPECTED=${S_EXPECTED} -DERROR=${S_ERROR} -DPRESET=${S_PRESET} -DABSENT=${S_ABSENT}
    -DWORK=${CMAKE_CURRENT_BINARY_DIR}/cli_txt2bin_${name}
    -P ${CMAKE_CURRENT_LIST_DIR}/txt2bin.cmake)
endfunction()

# The bundled sample's text converts back to the very bytes it was rendered from.
vc_txt2bin_test(dfm_file ARGS "txt2dfm ${vc_t2b_sample} -o @OUT@" STATUS 0 EXPECTED ${VC_ROOT}/samples/sample.dfm)
vc_txt2bin_test(dfm_stdin ARGS "txt2dfm - -o @OUT@" INPUT ${vc_t2b_sample} STATUS 0
  EXPECTED ${VC_ROOT}/samples/sample.dfm)
vc_txt2bin_test(bin_file ARGS "txt2bin ${vc_t2b_sample} -o @OUT@" STATUS 0
  EXPECTED ${VC_ROOT}/tests/cli/data/bin2txt/sample.bin)
vc_txt2bin_test(bin_stdin ARGS "txt2bin -o @OUT@" INPUT ${vc_t2b_sample} STATUS 0
  EXPECTED ${VC_ROOT}/tests/cli/data/bin2txt/sample.bin)
vc_txt2bin_test(dfm_replaces ARGS "txt2dfm ${vc_t2b_sample} -o @OUT@" STATUS 0 PRESET "old"
  EXPECTED ${VC_ROOT}/samples/sample.dfm)
# A failure names the line, and OUT keeps what it held (or is not created).
vc_txt2bin_test(bin_fails_keeps ARGS "txt2bin ${vc_t2b_bad} -o @OUT@" STATUS 1 PRESET "old contents"
  ERROR "希望一個OBJECT 在第 3 行")
vc_txt2bin_test(dfm_fails_keeps ARGS "txt2dfm ${vc_t2b_bad} -o @OUT@" STATUS 1 PRESET "old contents"
  ERROR "希望一個OBJECT 在第 3 行")
vc_txt2bin_test(dfm_fails_absent ARGS "txt2dfm ${vc_t2b_bad} -o @OUT@" STATUS 1 ABSENT
  ERROR "希望一個OBJECT 在第 3 行")
vc_txt2bin_test(missing_input ARGS "txt2dfm ${vc_t2b_bad}.none -o @OUT@" STATUS 1 ABSENT ERROR "bad.txt.none")
vc_txt2bin_test(no_out ARGS "txt2bin ${vc_t2b_sample}" STATUS 2 ERROR "usage: formtext txt2bin")
vc_txt2bin_test(two_files ARGS "txt2dfm a b -o @OUT@" STATUS 2 ERROR "usage: formtext txt2dfm")
