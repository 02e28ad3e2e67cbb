# BinaryToText throughput against a plain read and iconv, and its peak memory on a
# 100 MB stream (also checked as a test outside sanitizer builds).
vc_add_bench(render_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/RenderBench.cpp LIBS vc_formstream)
add_executable(render_memory ${CMAKE_CURRENT_SOURCE_DIR}/RenderMemory.cpp)
target_link_libraries(render_memory PRIVATE vc_formstream)
if(NOT VC_SANITIZE)
  add_test(NAME render_memory_100mb COMMAND render_memory 100 20)
endif()
