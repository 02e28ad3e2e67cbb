# The layering check catches each kind of upward include when one is planted
# in an otherwise empty tree.
set(tree ${WORK}/planted)
file(REMOVE_RECURSE ${tree})
file(WRITE ${tree}/editor/model/Model.h "#include \"editor/widget/CodeEditor.h\"\n")
file(WRITE ${tree}/translation/Core.h "#include \"workbench/newform.h\"\n")
file(WRITE ${tree}/platform/Bytes.h "#include \"platform/qt/Settings.h\"\n")
file(WRITE ${tree}/cli/cmd_x.cpp "#include \"workbench/core/WorkbenchDocument.h\"\n")
file(WRITE ${tree}/modres/Pe.h "#include \"translation/PoFile.h\"\n")
execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${tree} -P ${CHECK} RESULT_VARIABLE rc ERROR_VARIABLE err)
string(REGEX REPLACE "[ \n]+" " " err "${err}")  # the message comes wrapped
if(rc EQUAL 0)
  message(FATAL_ERROR "planted includes passed the layering check")
endif()
foreach(what "the editor model includes its widget" "the translation core includes an upper layer"
        "platform includes platform/qt" "the window in formtext" "modres includes an upper layer")
  string(FIND "${err}" "${what}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "not reported: ${what}\n${err}")
  endif()
endforeach()
file(REMOVE_RECURSE ${tree})
