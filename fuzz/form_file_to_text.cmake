vc_add_fuzzer(form_file_to_text ${CMAKE_CURRENT_SOURCE_DIR}/form_file_to_text.cpp vc_formstream)
