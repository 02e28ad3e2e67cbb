vc_add_fuzzer(module ${CMAKE_CURRENT_SOURCE_DIR}/module.cpp vc_modres)
