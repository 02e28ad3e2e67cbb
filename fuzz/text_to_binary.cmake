# The canonical re-encoding that the round-trip assertions compare with.
if(NOT TARGET vc_test_canonical)
  add_library(vc_test_canonical STATIC ${VC_ROOT}/tests/formstream/Canonical.cpp)
  target_include_directories(vc_test_canonical PUBLIC ${VC_ROOT}/tests/formstream)
  target_link_libraries(vc_test_canonical PUBLIC vc_formstream)
endif()
vc_add_fuzzer(text_to_binary ${CMAKE_CURRENT_SOURCE_DIR}/text_to_binary.cpp vc_test_canonical vc_formstream)
