# formtext patch: form files into a copy of a module (round trips: tests/modres/patch_check.py).
set(vc_patch_module ${VC_ROOT}/tests/modres/fixtures/forms32.exe)

vc_formtext_test(NAME cli_patch_text_form ARGS "patch ${vc_patch_module} ${CMAKE_CURRENT_SOURCE_DIR}/data/patch/TFORM1.txt -o @OUT@"
  STATUS 0 NOERROR)
vc_formtext_test(NAME cli_patch_names_no_form ARGS "patch ${vc_patch_module} ${VC_ROOT}/tests/modres/data/sample.dfm -o @OUT@"
  STATUS 1 ERROR "sample.dfm: names no form resource of " ABSENT)
vc_formtext_test(NAME cli_patch_not_a_module ARGS "patch ${VC_ROOT}/README.md ${CMAKE_CURRENT_SOURCE_DIR}/data/patch -o @OUT@"
  STATUS 1 ERROR "無法載入檔案" ABSENT)
vc_formtext_test(NAME cli_patch_onto_module ARGS "patch ${vc_patch_module} ${CMAKE_CURRENT_SOURCE_DIR}/data/patch -o ${VC_ROOT}/tests/modres/fixtures/../fixtures/forms32.exe"
  STATUS 2 ERROR "other than MODULE")
vc_formtext_test(NAME cli_patch_usage ARGS "patch ${vc_patch_module} -o @OUT@" STATUS 2 ERROR "usage")
