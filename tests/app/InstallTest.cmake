# Installs the build under PREFIX and checks that the desktop finds what it
# needs there, then starts the installed program offscreen: it must come up,
# find its manual under the prefix and quit.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "install failed: ${err}")
endif()

set(expected bin/vellumcraft bin/formtext share/vellumcraft/manual/index.html
    share/applications/vellumcraft.desktop share/mime/packages/vellumcraft.xml
    share/icons/hicolor/16x16/apps/vellumcraft.png share/icons/hicolor/256x256/apps/vellumcraft.png)
# The value lists are installed with whatever res/ holds.
file(GLOB lists RELATIVE ${SOURCE}/res ${SOURCE}/res/*.lst)
foreach(l ${lists})
  list(APPEND expected share/vellumcraft/res/${l})
endforeach()
foreach(f ${expected})
  if(NOT EXISTS ${PREFIX}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()

# The desktop's own tools accept the entry and the file type.
find_program(VALIDATE desktop-file-validate)
if(VALIDATE)
  execute_process(COMMAND ${VALIDATE} ${PREFIX}/share/applications/vellumcraft.desktop
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "desktop entry: ${out}")
  endif()
endif()
find_program(UPDATE_MIME update-mime-database)
if(UPDATE_MIME)
  execute_process(COMMAND ${UPDATE_MIME} ${PREFIX}/share/mime RESULT_VARIABLE rc ERROR_VARIABLE out)
  if(NOT rc EQUAL 0 OR NOT EXISTS ${PREFIX}/share/mime/application/x-delphi-form.xml)
    message(FATAL_ERROR "mime package: ${out}")
  endif()
endif()

execute_process(COMMAND ${PREFIX}/bin/formtext --help RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "installed formtext does not run")
endif()

set(ENV{QT_QPA_PLATFORM} offscreen)
set(ENV{VC_REPORT_SHOWN} quit)
set(ENV{XDG_CONFIG_HOME} ${PREFIX}/config)
execute_process(COMMAND ${PREFIX}/bin/vellumcraft WORKING_DIRECTORY ${PREFIX}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 60)
if(NOT rc EQUAL 0 OR NOT out MATCHES "window shown")
  message(FATAL_ERROR "installed program did not start (${rc}): ${out} ${err}")
endif()
string(FIND "${out}" "manual ${PREFIX}/share/vellumcraft/manual" at)
if(at EQUAL -1)
  message(FATAL_ERROR "installed program did not find its manual under the prefix: ${out}")
endif()
file(REMOVE_RECURSE ${PREFIX})
message(STATUS "installed and started")
