if(TARGET vc_preview)
  vc_add_fuzzer(preview_reader ${CMAKE_CURRENT_SOURCE_DIR}/preview_reader.cpp vc_preview)
endif()
