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
# Folders give their .dfm and .txt files (extract writes NAME.txt); a folder
# without a file for any form is an error, and nothing is written.
vc_formtext_test(NAME cli_patch_folder_of_text_forms ARGS "patch ${vc_patch_module} ${CMAKE_CURRENT_SOURCE_DIR}/data/patch -o @OUT@"
  STATUS 0 NOERROR)
file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/patch_empty)
vc_formtext_test(NAME cli_patch_empty_folder ARGS "patch ${vc_patch_module} ${CMAKE_CURRENT_BINARY_DIR}/patch_empty -o @OUT@"
  STATUS 1 ERROR "no form file names a form of" ABSENT)
