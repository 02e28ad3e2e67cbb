# formtext list, dump and extract over the test modules.
set(vc_modules ${VC_ROOT}/tests/modres/fixtures)
set(vc_modres_out ${CMAKE_CURRENT_BINARY_DIR}/modres_out)

set(vc_open_failed "無法載入檔案，可能檔案不是使用EDLPHI編寫的，或者資源已經損壞！")

vc_formtext_test(NAME cli_modres_list_pe32 ARGS "list ${vc_modules}/forms32.exe" STATUS 0 NOERROR
  EXPECTED ${VC_ROOT}/tests/modres/data/forms.list)
vc_formtext_test(NAME cli_modres_list_pe32plus ARGS "list ${vc_modules}/forms64.dll" STATUS 0
  EXPECTED ${VC_ROOT}/tests/modres/data/forms.list)
vc_formtext_test(NAME cli_modres_list_utf8 ARGS "list ${vc_modules}/forms32.exe --utf8" STATUS 0 CONTAINS "dvclal\n表單一\n#1234\n")
vc_formtext_test(NAME cli_modres_list_no_resources ARGS "list ${vc_modules}/nores32.exe" STATUS 1
  ERROR "formtext: .*nores32.exe: no resources")
vc_formtext_test(NAME cli_modres_list_no_rcdata ARGS "list ${vc_modules}/noforms64.exe" STATUS 1
  ERROR "formtext: .*noforms64.exe: no forms")
vc_formtext_test(NAME cli_modres_list_not_a_module ARGS "list ${VC_ROOT}/README.md" STATUS 1
  ERROR "formtext: .*README.md: ${vc_open_failed}: not a module: no MZ signature")
vc_formtext_test(NAME cli_modres_list_missing ARGS "list ${vc_modules}/no-such.exe" STATUS 1
  ERROR "no-such.exe: ${vc_open_failed}: no such file")
vc_formtext_test(NAME cli_modres_list_folder ARGS "list ${vc_modules}" STATUS 1 ERROR "fixtures: ${vc_open_failed}: a directory")
vc_formtext_test(NAME cli_modres_list_usage ARGS "list" STATUS 2 ERROR "usage")

vc_formtext_test(NAME cli_modres_dump_form ARGS "dump ${vc_modules}/forms32.exe TFORM1 --utf8" STATUS 0 NOERROR
  CONTAINS "^object Form1: TForm1\r\n.*Caption = '功能'\r\n.*\r\nend\r\n$")
vc_formtext_test(NAME cli_modres_dump_inherited ARGS "dump ${vc_modules}/forms64.dll TINHFORM --utf8" STATUS 0
  CONTAINS "^inherited InhForm: TInhForm \\[3\\]\r\n")
vc_formtext_test(NAME cli_modres_dump_numeric ARGS "dump ${vc_modules}/forms32.exe #1234 --utf8" STATUS 0 CONTAINS "數字編號")
vc_formtext_test(NAME cli_modres_dump_big5_name ARGS "dump ${vc_modules}/forms32.exe 表單一 --utf8" STATUS 0 CONTAINS "中文名稱")
vc_formtext_test(NAME cli_modres_dump_escaped_name ARGS "dump ${vc_modules}/forms32.exe EMOJI{U+1F600} --utf8" STATUS 0
  CONTAINS "表情符號")
vc_formtext_test(NAME cli_modres_dump_not_a_form ARGS "dump ${vc_modules}/forms32.exe SETTINGS" STATUS 1 ERROR "無效的資料流格式")
vc_formtext_test(NAME cli_modres_dump_unknown ARGS "dump ${vc_modules}/forms32.exe NOSUCH" STATUS 1 ERROR "資源 NOSUCH 未找到")
vc_formtext_test(NAME cli_modres_dump_not_a_module ARGS "dump ${VC_ROOT}/README.md TFORM1" STATUS 1 ERROR "${vc_open_failed}")

set(vc_forms_txt "#1234.txt|CAF{U+00C9}.txt|EMOJI{U+1F600}.txt|TABOUTBOX.txt|TFORM1.txt|TINHFORM.txt|TLANGFORM.txt|dvclal.txt|表單一.txt")
string(REPLACE ".txt" ".dfm" vc_forms_dfm "${vc_forms_txt}")
vc_formtext_test(NAME cli_modres_extract_text ARGS "extract ${vc_modules}/forms32.exe ${vc_modres_out}/text" STATUS 0
  ERROR "SETTINGS: not a form, skipped" OUTDIR ${vc_modres_out}/text FILES "${vc_forms_txt}" SAME "TFORM1.txt|TFORM1")
vc_formtext_test(NAME cli_modres_extract_dfm ARGS "extract ${vc_modules}/forms64.dll ${vc_modres_out}/dfm --dfm" STATUS 0
  ERROR "SETTINGS: not a form, skipped" OUTDIR ${vc_modres_out}/dfm FILES "${vc_forms_dfm}"
  SAME "TINHFORM.dfm|TINHFORM")
vc_formtext_test(NAME cli_modres_extract_dfm_big5 ARGS "extract ${vc_modules}/forms32.exe ${vc_modres_out}/dfm2 --dfm" STATUS 0
  OUTDIR ${vc_modres_out}/dfm2 FILES "${vc_forms_dfm}" SAME "TFORM1.dfm|TFORM1")
# Names unfit as file names stay inside the folder and do not overwrite each other.
string(REPEAT X 200 vc_long)
vc_formtext_test(NAME cli_modres_extract_unsafe_names ARGS "extract ${vc_modules}/paths32.exe ${vc_modres_out}/paths" STATUS 0 NOERROR
  OUTDIR ${vc_modres_out}/paths
  FILES "_...txt|_.._ESCAPE.txt|_.HIDDEN.txt|A_B_C.txt|A_B__.txt|LINE{U+000A}BREAK.txt|TFORM1.txt|tform1~2.txt|${vc_long}.txt")
vc_formtext_test(NAME cli_modres_extract_no_rcdata ARGS "extract ${vc_modules}/noforms64.exe ${vc_modres_out}/none" STATUS 1
  OUTDIR ${vc_modres_out}/none FILES "")
vc_formtext_test(NAME cli_modres_extract_into_a_file ARGS "extract ${vc_modules}/forms32.exe ${VC_ROOT}/README.md" STATUS 1
  ERROR "無法建立檔案")
vc_formtext_test(NAME cli_modres_extract_usage ARGS "extract ${vc_modules}/forms32.exe" STATUS 2 ERROR "usage")
