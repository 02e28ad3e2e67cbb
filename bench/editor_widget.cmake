# The editor widget: one paint of a full viewport at the top, middle and end
# of a 1,000,000-line form text against the same paint of a 100-line text.
if(TARGET vc_editor_widget)
  vc_add_bench(editor_widget_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/editor_widget.cpp
               LIBS vc_editor_widget)
endif()
