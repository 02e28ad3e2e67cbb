vc_add_fuzzer(form_strings ${CMAKE_CURRENT_SOURCE_DIR}/form_strings.cpp vc_formstream)
