# Runs a QtTest program (PROGRAM, with the ;-list ARGS) and passes its output
# on. A run in which every test skipped (the corpus or another input being
# absent) ends with the line "every test skipped", which CTest takes for a
# skip; a failed run fails.
execute_process(COMMAND ${PROGRAM} ${ARGS} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("${out}${err}")
if(NOT rc STREQUAL "0")
  message(FATAL_ERROR "exit status ${rc}")
endif()
# PASS lines other than those of the set-up and tear-down functions, and SKIP lines.
string(REGEX MATCHALL "\nPASS   : [^\n]*" passes "\n${out}")
list(FILTER passes EXCLUDE REGEX "::(initTestCase|cleanupTestCase)\\(\\)")
string(REGEX MATCH "\nSKIP   : " skipped "\n${out}")
if(skipped AND NOT passes)
  message("every test skipped")
endif()
