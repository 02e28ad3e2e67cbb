# The form preview: a 2,000-control form and every corpus form, against
# rendering the same streams as form text.
if(TARGET vc_preview AND TARGET vc_modres)
  vc_add_bench(preview_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/PreviewBench.cpp LIBS vc_preview vc_modres)
  target_compile_definitions(preview_bench PRIVATE VC_CORPUS_DIR="${VC_CORPUS}")
endif()
