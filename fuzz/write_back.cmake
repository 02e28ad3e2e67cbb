vc_add_fuzzer(write_back ${CMAKE_CURRENT_SOURCE_DIR}/write_back.cpp vc_translation)
