# Editor model: load + full highlight, one keystroke with its incremental
# rescan, and replace-all, each at 1x, 2x and 4x input beside a plain baseline.
vc_add_bench(editor_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/EditorBench.cpp LIBS vc_editor_model)
