# formtext resstrings and the resource strings in list, po and patch
# (round trips over every module: tests/modres/pefile_check.py, patch_check.py).
set(vc_rs_modules ${VC_ROOT}/tests/modres/fixtures)

vc_formtext_test(NAME cli_resstrings_two_languages ARGS "resstrings ${vc_rs_modules}/forms64.dll" STATUS 0 NOERROR
  EXPECTED ${CMAKE_CURRENT_SOURCE_DIR}/data/resstrings/forms.txt)
vc_formtext_test(NAME cli_resstrings_to_file ARGS "resstrings ${vc_rs_modules}/forms32.exe -o @OUT@" STATUS 0 NOERROR
  EXPECTED_OUT ${CMAKE_CURRENT_SOURCE_DIR}/data/resstrings/forms.txt)
vc_formtext_test(NAME cli_resstrings_none ARGS "resstrings ${vc_rs_modules}/nores32.exe" STATUS 0 NOERROR
  EXPECTED ${CMAKE_CURRENT_SOURCE_DIR}/data/resstrings/empty.txt)
# A hostile block: its reason on standard error, every other string listed.
vc_formtext_test(NAME cli_resstrings_hostile_block ARGS "resstrings ${vc_rs_modules}/badstrings32.exe" STATUS 1
  ERROR "badstrings32.exe: string table block 3 \\(strings 32-47, language 1031\\): string 34 counts 400 units at byte 26, which run past the block's end"
  CONTAINS "^1\t1031\tErste\n2\t1031\tZweite\\\\r\\\\nZeile\n64\t1031\tFünfter Block %d\n79\t1031\tQ\n$")
vc_formtext_test(NAME cli_resstrings_not_a_module ARGS "resstrings ${VC_ROOT}/README.md" STATUS 1 ERROR "無法載入檔案")
vc_formtext_test(NAME cli_resstrings_usage ARGS "resstrings" STATUS 2 ERROR "usage")
vc_formtext_test(NAME cli_list_counts_resource_strings ARGS "list ${vc_rs_modules}/noforms64.exe" STATUS 1
  ERROR "no forms" EXPECTED ${CMAKE_CURRENT_SOURCE_DIR}/data/resstrings/one.list)

# The exchange, the translated copy and patch with resource strings.
add_test(NAME cli_resstrings_exchange COMMAND ${CMAKE_COMMAND} -DFORMTEXT=$<TARGET_FILE:formtext>
  -DMODULES=${vc_rs_modules} -DWORK=${CMAKE_CURRENT_BINARY_DIR}/resstrings_exchange
  -P ${CMAKE_CURRENT_SOURCE_DIR}/support/ResStrings.cmake)
