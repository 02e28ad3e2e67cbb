vc_add_fuzzer(binary_to_text ${CMAKE_CURRENT_SOURCE_DIR}/binary_to_text.cpp vc_formstream)
