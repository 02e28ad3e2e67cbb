# RUNNER given outputs that QtTest programs print: "every test skipped" only
# when no test other than the set-up and tear-down passed, and a failure fails.
function(run expect_skip)
  execute_process(COMMAND ${CMAKE_COMMAND} "-DPROGRAM=${CMAKE_COMMAND}"
                  "-DARGS=-E;echo;${ARGN}" -P ${RUNNER}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(FIND "${err}" "\nevery test skipped\n" at)
  set(skipped FALSE)
  if(at GREATER -1)
    set(skipped TRUE)
  endif()
  if(NOT skipped STREQUAL expect_skip OR NOT rc EQUAL 0)
    message(FATAL_ERROR "for '${ARGN}': status ${rc}, output ${err}")
  endif()
endfunction()
set(nl "\n")
run(TRUE "PASS   : T::initTestCase()${nl}SKIP   : T::rows(corpus) no corpus${nl}PASS   : T::cleanupTestCase()")
run(FALSE "PASS   : T::initTestCase()${nl}PASS   : T::rows(sample)${nl}SKIP   : T::rows(corpus) no corpus")
run(FALSE "PASS   : T::initTestCase()${nl}PASS   : T::rows(sample)")
execute_process(COMMAND ${CMAKE_COMMAND} "-DPROGRAM=${CMAKE_COMMAND}" "-DARGS=-E;false" -P ${RUNNER}
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
if(rc EQUAL 0)
  message(FATAL_ERROR "a failed program passed")
endif()
