vc_add_fuzzer(po_text ${CMAKE_CURRENT_SOURCE_DIR}/po_text.cpp vc_translation)
