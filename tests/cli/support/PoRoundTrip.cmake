# For each module (MODULES, and those of CORPUS/modules when present): po
# export, then po apply of that untouched template, must all succeed and
# write the same files, byte for byte, as extract --dfm.
file(GLOB corpus_modules ${CORPUS}/modules/*)
foreach(module ${MODULES} ${corpus_modules})
  file(REMOVE_RECURSE ${WORK})
  execute_process(COMMAND ${FORMTEXT} extract ${module} ${WORK}/extracted --dfm RESULT_VARIABLE s1)
  execute_process(COMMAND ${FORMTEXT} po export ${module} -o ${WORK}/t.pot RESULT_VARIABLE s2)
  execute_process(COMMAND ${FORMTEXT} po apply ${module} ${WORK}/t.pot -o ${WORK}/applied RESULT_VARIABLE s3
                  ERROR_VARIABLE err)
  if(NOT s1 STREQUAL "0" OR NOT s2 STREQUAL "0" OR NOT s3 STREQUAL "0")
    message(FATAL_ERROR "${module}: extract ${s1}, export ${s2}, apply ${s3}: ${err}")
  endif()
  file(GLOB extracted RELATIVE ${WORK}/extracted ${WORK}/extracted/*)
  file(GLOB applied RELATIVE ${WORK}/applied ${WORK}/applied/*)
  if(NOT extracted STREQUAL applied)
    message(FATAL_ERROR "${module}: extract wrote ${extracted}, apply wrote ${applied}")
  endif()
  foreach(f ${extracted})
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/extracted/${f} ${WORK}/applied/${f}
                    RESULT_VARIABLE differ)
    if(differ)
      message(FATAL_ERROR "${module}: ${f} differs from what extract --dfm writes")
    endif()
  endforeach()
endforeach()
file(REMOVE_RECURSE ${WORK})
