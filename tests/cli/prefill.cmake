# formtext po export --prefill: OpenCC's conversion of a Simplified Chinese
# program's strings, as the opencc command gives it, and the program's copy
# translated with it (fonts made Big5, translations Big5 text).
find_program(VC_PYTHON3_PREFILL python3)
if(VC_PYTHON3_PREFILL)
  add_test(NAME cli_po_prefill_simplified_program
           COMMAND ${VC_PYTHON3_PREFILL} ${CMAKE_CURRENT_SOURCE_DIR}/support/prefill_check.py $<TARGET_FILE:formtext>
                   ${VC_CORPUS} ${CMAKE_CURRENT_BINARY_DIR}/prefill)
  set_tests_properties(cli_po_prefill_simplified_program PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
endif()

# --source-codepage: a code page the option does not know is wrong usage.
vc_formtext_test(NAME cli_po_source_codepage_unknown ARGS "po export ${VC_ROOT}/samples/sample.exe --source-codepage 65001 -o @OUT@"
  STATUS 2 ERROR "not a code page" ABSENT)
vc_formtext_test(NAME cli_po_prefill_unknown ARGS "po export ${VC_ROOT}/samples/sample.exe --prefill t2s -o @OUT@"
  STATUS 2 ERROR "prefill" ABSENT)
