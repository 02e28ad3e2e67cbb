vc_add_bench(module_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/ModuleBench.cpp LIBS vc_modres)
target_compile_definitions(module_bench PRIVATE VC_SOURCE_DIR="${VC_ROOT}")
