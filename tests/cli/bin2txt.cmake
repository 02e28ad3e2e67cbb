# formtext bin2txt and dfm2txt. Included by tests/cli (adds the cases) and run
# with -P by each case: runs formtext, checks the exit status, compares stdout
# byte for byte with a reference and looks for a message on stderr.
if(CMAKE_SCRIPT_MODE_FILE)
  set(in_args)
  if(INPUT)
    set(in_args INPUT_FILE ${INPUT})
  endif()
  separate_arguments(argv UNIX_COMMAND "${ARGS}")
  execute_process(COMMAND ${FORMTEXT} ${argv} ${in_args}
                  RESULT_VARIABLE status OUTPUT_FILE ${WORK}.out ERROR_VARIABLE err)
  if(NOT status STREQUAL "${STATUS}")
    message(FATAL_ERROR "exit status ${status}, expected ${STATUS}; stderr: ${err}")
  endif()
  if(EXPECTED)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}.out ${EXPECTED} RESULT_VARIABLE differ)
    if(differ)
      file(READ ${WORK}.out got HEX)
      message(FATAL_ERROR "stdout differs from ${EXPECTED}; got (hex):\n${got}")
    endif()
  endif()
  if(CONTAINS)
    file(READ ${WORK}.out out)
    if(NOT out MATCHES "${CONTAINS}")
      message(FATAL_ERROR "stdout lacks '${CONTAINS}':\n${out}")
    endif()
  endif()
  if(ERROR AND NOT err MATCHES "${ERROR}")
    message(FATAL_ERROR "stderr lacks '${ERROR}': ${err}")
  endif()
  return()
endif()

set(vc_b2t_data ${VC_ROOT}/tests/cli/data/bin2txt)
function(vc_bin2txt_test name)
  cmake_parse_arguments(S "" "ARGS;INPUT;STATUS;EXPECTED;CONTAINS;ERROR" "" ${ARGN})
  add_test(NAME cli_bin2txt_${name} COMMAND ${CMAKE_COMMAND}
    -DFORMTEXT=$<TARGET_FILE:formtext> "-DARGS=${S_ARGS}" -DINPUT=${S_INPUT} -DSTATUS=${S_STATUS}
    -DEXPECTED=${S_EXPECTED} -DCONTAINS=${S_CONTAINS} -DERROR=${S_ERROR}
    -DWORK=${CMAKE_CURRENT_BINARY_DIR}/cli_bin2txt_${name}
    -P ${CMAKE_CURRENT_LIST_DIR}/bin2txt.cmake)
endfunction()

vc_bin2txt_test(dfm_file ARGS "dfm2txt ${VC_ROOT}/samples/sample.dfm" STATUS 0
  EXPECTED ${vc_b2t_data}/sample.expected)
vc_bin2txt_test(dfm_stdin ARGS "dfm2txt -" INPUT ${VC_ROOT}/samples/sample.dfm STATUS 0
  EXPECTED ${vc_b2t_data}/sample.expected)
vc_bin2txt_test(bin_file ARGS "bin2txt ${vc_b2t_data}/sample.bin" STATUS 0
  EXPECTED ${vc_b2t_data}/sample.expected)
vc_bin2txt_test(bin_stdin ARGS "bin2txt" INPUT ${vc_b2t_data}/sample.bin STATUS 0
  EXPECTED ${vc_b2t_data}/sample.expected)
vc_bin2txt_test(utf8 ARGS "dfm2txt ${VC_ROOT}/samples/sample.dfm --utf8" STATUS 0
  CONTAINS "Caption = '會議室名稱：'")
vc_bin2txt_test(truncated ARGS "bin2txt ${vc_b2t_data}/truncated.bin" STATUS 1
  EXPECTED ${vc_b2t_data}/truncated.expected ERROR "資料串流讀取錯誤")
vc_bin2txt_test(not_a_stream ARGS "bin2txt ${VC_ROOT}/samples/sample.dfm" STATUS 1
  EXPECTED ${vc_b2t_data}/empty.expected ERROR "無效的資料流格式")
vc_bin2txt_test(text_dfm ARGS "dfm2txt ${vc_b2t_data}/text.dfm" STATUS 1
  EXPECTED ${vc_b2t_data}/empty.expected ERROR "無效的資料流格式")
vc_bin2txt_test(missing ARGS "dfm2txt ${vc_b2t_data}/no-such.dfm" STATUS 1 ERROR "no-such.dfm")
vc_bin2txt_test(two_files ARGS "bin2txt a b" STATUS 2 ERROR "usage: formtext bin2txt")
vc_bin2txt_test(help ARGS "--help" STATUS 0 CONTAINS "dfm2txt")
