# formtext highlight. Included by tests/cli (adds the cases) and run with -P by
# each case: runs formtext, checks the exit status, compares stdout byte for
# byte with a reference or looks for a text in it, and checks stderr.
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
      file(READ ${WORK}.out got)
      message(FATAL_ERROR "stdout differs from ${EXPECTED}; got:\n${got}")
    endif()
  endif()
  if(CONTAINS)
    file(READ ${WORK}.out out)
    string(FIND "${out}" "${CONTAINS}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "stdout lacks '${CONTAINS}':\n${out}")
    endif()
  endif()
  if(ERROR AND NOT err MATCHES "${ERROR}")
    message(FATAL_ERROR "stderr lacks '${ERROR}': ${err}")
  endif()
  return()
endif()

set(vc_hl_data ${VC_ROOT}/tests/cli/data/highlight)
function(vc_highlight_test name)
  cmake_parse_arguments(S "" "ARGS;INPUT;STATUS;EXPECTED;CONTAINS;ERROR" "" ${ARGN})
  add_test(NAME cli_highlight_${name} COMMAND ${CMAKE_COMMAND}
    -DFORMTEXT=$<TARGET_FILE:formtext> "-DARGS=${S_ARGS}" -DINPUT=${S_INPUT} -DSTATUS=${S_STATUS}
    -DEXPECTED=${S_EXPECTED} "-DCONTAINS=${S_CONTAINS}" -DERROR=${S_ERROR}
    -DWORK=${CMAKE_CURRENT_BINARY_DIR}/cli_highlight_${name}
    -P ${CMAKE_CURRENT_LIST_DIR}/highlight.cmake)
endfunction()

# Every rule of the form text scanner, a brace block over three lines, Big5
# bytes inside and outside quotes.
vc_highlight_test(form_tokens ARGS "highlight ${vc_hl_data}/form.txt --tokens" STATUS 0
  EXPECTED ${vc_hl_data}/form.tokens)
vc_highlight_test(form_tokens_stdin ARGS "highlight - --tokens" INPUT ${vc_hl_data}/form.txt STATUS 0
  EXPECTED ${vc_hl_data}/form.tokens)
# Tags, entities, a comment and an ASP block spanning lines.
vc_highlight_test(html_tokens ARGS "highlight --html --tokens ${vc_hl_data}/page.txt" STATUS 0
  EXPECTED ${vc_hl_data}/page.tokens)
# Colours: "object" bold red, the Big5 caption decoded whole and green.
vc_highlight_test(form_colours ARGS "highlight ${vc_hl_data}/form.txt" STATUS 0
  CONTAINS "[0;1;38;2;255;0;0;49mobject")
vc_highlight_test(form_colours_big5 ARGS "highlight ${vc_hl_data}/form.txt" STATUS 0
  CONTAINS "[0;38;2;0;128;0;49m'中文'#13#10'It''s'")
vc_highlight_test(empty_input ARGS "highlight --tokens" INPUT ${vc_hl_data}/empty.txt STATUS 0
  EXPECTED ${vc_hl_data}/empty.txt)
vc_highlight_test(missing ARGS "highlight ${vc_hl_data}/no-such.txt" STATUS 1 ERROR "no-such.txt")
vc_highlight_test(bad_flag ARGS "highlight --bogus" STATUS 2 ERROR "usage")
