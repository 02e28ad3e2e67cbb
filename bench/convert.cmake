# TextToBinary throughput against a plain read of the same text.
vc_add_bench(convert_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/ConvertBench.cpp LIBS vc_formstream)
