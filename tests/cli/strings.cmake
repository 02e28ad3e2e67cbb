# formtext strings. Included by tests/cli (adds the cases) and run with -P by
# each case (runs formtext and checks status, output and message).
if(CMAKE_SCRIPT_MODE_FILE)
  set(in_args)
  if(INPUT)
    set(in_args INPUT_FILE ${INPUT})
  endif()
  separate_arguments(argv UNIX_COMMAND "${ARGS}")
  execute_process(COMMAND ${FORMTEXT} strings ${argv} ${in_args}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status STREQUAL "${STATUS}")
    message(FATAL_ERROR "exit status ${status}, expected ${STATUS}; stderr: ${err}")
  endif()
  if(EXPECTED)
    file(READ ${EXPECTED} want)
    if(NOT out STREQUAL want)
      message(FATAL_ERROR "output differs:\n${out}\nexpected:\n${want}")
    endif()
  endif()
  if(CONTAINS AND NOT out MATCHES "${CONTAINS}")
    message(FATAL_ERROR "output lacks '${CONTAINS}':\n${out}")
  endif()
  if(ERROR AND NOT err MATCHES "${ERROR}")
    message(FATAL_ERROR "stderr lacks '${ERROR}': ${err}")
  endif()
  return()
endif()

set(vc_strings_data ${VC_ROOT}/tests/workbench/data)
function(vc_strings_test name)
  cmake_parse_arguments(S "" "ARGS;INPUT;STATUS;EXPECTED;CONTAINS;ERROR" "" ${ARGN})
  add_test(NAME cli_strings_${name} COMMAND ${CMAKE_COMMAND}
    -DFORMTEXT=$<TARGET_FILE:formtext> "-DARGS=${S_ARGS}" -DINPUT=${S_INPUT} -DSTATUS=${S_STATUS}
    -DEXPECTED=${S_EXPECTED} -DCONTAINS=${S_CONTAINS} -DERROR=${S_ERROR}
    -P ${CMAKE_CURRENT_LIST_DIR}/strings.cmake)
endfunction()

vc_strings_test(file ARGS "${vc_strings_data}/strings.txt" STATUS 0
  EXPECTED ${vc_strings_data}/strings.expected)
vc_strings_test(stdin ARGS "-" INPUT ${vc_strings_data}/strings.txt STATUS 0
  EXPECTED ${vc_strings_data}/strings.expected)
vc_strings_test(utf8 ARGS "${vc_strings_data}/strings.txt --utf8" STATUS 0 CONTAINS "3\tCaption\t中文窗體")
vc_strings_test(missing_file ARGS "${vc_strings_data}/no-such-file.txt" STATUS 1 ERROR "no-such-file")
vc_strings_test(two_files ARGS "a b" STATUS 2 ERROR "usage")
vc_strings_test(module ARGS "${VC_ROOT}/samples/sample.exe --module TABOUTBOX --utf8" STATUS 0
  CONTAINS "5\tCaption\t關於\n")
vc_strings_test(module_unknown_form ARGS "${VC_ROOT}/samples/sample.exe --module NOSUCH" STATUS 1
  ERROR "NOSUCH")
vc_strings_test(dfm ARGS "${VC_ROOT}/samples/sample.dfm --dfm" STATUS 0 CONTAINS "^2\tLeft\t")
vc_strings_test(dfm_given_text ARGS "${vc_strings_data}/strings.txt --dfm" STATUS 1 ERROR "無效的資料流格式")
vc_strings_test(dfm_and_module ARGS "x --dfm --module A" STATUS 2 ERROR "usage")
