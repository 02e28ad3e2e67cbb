# Replace-all through the main window's button, and its one-step undo,
# against the editor model's own replace-all of the same text.
if(TARGET vc_workbench)
  vc_add_bench(search_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/SearchBench.cpp LIBS vc_workbench)
endif()
