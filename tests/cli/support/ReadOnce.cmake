# po apply --module and --satellite read the module's file once: the
# exchange, the translated copy and the satellite share what was read.
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${FORMTEXT} po export ${MODULE} -o ${WORK}/t.pot RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "po export failed: ${rc}")
endif()
execute_process(COMMAND ${STRACE} -f -e trace=open,openat -o ${WORK}/trace
                        ${FORMTEXT} po apply ${MODULE} ${WORK}/t.pot --module ${WORK}/copy.exe --satellite ${WORK}/copy.CHT
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "po apply failed: ${rc}")
endif()
file(STRINGS ${WORK}/trace lines)
set(opens 0)
foreach(line IN LISTS lines)
  string(FIND "${line}" "\"${MODULE}\"" at)
  if(NOT at EQUAL -1 AND NOT line MATCHES "ENOENT")
    math(EXPR opens "${opens} + 1")
  endif()
endforeach()
if(NOT opens EQUAL 1)
  message(FATAL_ERROR "the module was opened ${opens} times:\n${lines}")
endif()
