# TextToBinary throughput against a plain read of the same text and iconv.
vc_add_bench(convert_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/ConvertBench.cpp LIBS vc_formstream)
# Peak memory of `formtext txt2bin` and `txt2dfm` on a 100 MB text, which
# they stream to their output (also checked as tests outside sanitizer builds).
add_executable(txt2bin_memory ${CMAKE_CURRENT_SOURCE_DIR}/ConvertMemory.cpp)
target_link_libraries(txt2bin_memory PRIVATE vc_formstream)
if(NOT VC_SANITIZE AND TARGET formtext)
  add_test(NAME txt2bin_memory_100mb
           COMMAND txt2bin_memory $<TARGET_FILE:formtext> ${CMAKE_CURRENT_BINARY_DIR}/txt2bin_memory.bin 100 20)
  add_test(NAME txt2dfm_memory_100mb
           COMMAND txt2bin_memory $<TARGET_FILE:formtext> ${CMAKE_CURRENT_BINARY_DIR}/txt2dfm_memory.dfm 100 20 txt2dfm)
endif()
