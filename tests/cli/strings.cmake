# formtext strings over form text, form files and module forms.
set(vc_strings_data ${VC_ROOT}/tests/workbench/data)

vc_formtext_test(NAME cli_strings_file ARGS "strings ${vc_strings_data}/strings.txt" STATUS 0
  EXPECTED ${vc_strings_data}/strings.expected)
vc_formtext_test(NAME cli_strings_stdin ARGS "strings -" INPUT ${vc_strings_data}/strings.txt STATUS 0
  EXPECTED ${vc_strings_data}/strings.expected)
vc_formtext_test(NAME cli_strings_utf8 ARGS "strings ${vc_strings_data}/strings.txt --utf8" STATUS 0 CONTAINS "3\tCaption\t中文窗體")
vc_formtext_test(NAME cli_strings_missing_file ARGS "strings ${vc_strings_data}/no-such-file.txt" STATUS 1 ERROR "no-such-file")
vc_formtext_test(NAME cli_strings_two_files ARGS "strings a b" STATUS 2 ERROR "usage")
vc_formtext_test(NAME cli_strings_module ARGS "strings ${VC_ROOT}/samples/sample.exe --module TABOUTBOX --utf8" STATUS 0
  CONTAINS "5\tCaption\t關於\n")
vc_formtext_test(NAME cli_strings_module_unknown_form ARGS "strings ${VC_ROOT}/samples/sample.exe --module NOSUCH" STATUS 1
  ERROR "NOSUCH")
vc_formtext_test(NAME cli_strings_dfm ARGS "strings ${VC_ROOT}/samples/sample.dfm --dfm" STATUS 0 CONTAINS "^2\tLeft\t")
vc_formtext_test(NAME cli_strings_dfm_given_text ARGS "strings ${vc_strings_data}/strings.txt --dfm" STATUS 1 ERROR "無效的資料流格式")
vc_formtext_test(NAME cli_strings_dfm_and_module ARGS "strings x --dfm --module A" STATUS 2 ERROR "usage")

# 8-bit strings in their source code page: a label's GB2312 font, and the
# form's DEFAULT_CHARSET as the code page --source-codepage names.
vc_formtext_test(NAME cli_strings_font_code_page ARGS "strings ${VC_ROOT}/tests/cli/data/codepage/gb.txt --utf8"
  STATUS 0 CONTAINS_TEXT "5\tCaption\t业务员" NOERROR)
vc_formtext_test(NAME cli_strings_source_codepage ARGS "strings ${VC_ROOT}/tests/cli/data/codepage/gb.txt --utf8 --source-codepage 936"
  STATUS 0 CONTAINS_TEXT "2\tCaption\t核销单号码查询" NOERROR)
