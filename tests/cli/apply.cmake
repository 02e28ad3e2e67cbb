# formtext apply: rows of `strings` with changed values written back into a
# form text; skipped rows are named on stderr, bad EDITS leave OUT alone.
set(vc_apply ${VC_ROOT}/tests/cli/data/apply)

# Rows in any order, a continued caption replaced whole, the row below it
# still named by its line as given; a string written plain comes out quoted,
# any other value as it stands; lines keep their indentation and the text's
# LF line ends.
vc_formtext_test(NAME cli_apply_rows ARGS "apply ${vc_apply}/form.txt ${vc_apply}/edits.tsv -o @OUT@" STATUS 0
  EXPECTED_OUT ${vc_apply}/applied.txt NOERROR)
vc_formtext_test(NAME cli_apply_utf8 ARGS "apply ${vc_apply}/form.txt ${vc_apply}/edits-utf8.tsv -o @OUT@ --utf8"
  STATUS 0 EXPECTED_OUT ${vc_apply}/applied.txt NOERROR)
# Every row skipped: OUT is still written, each row named by its EDITS line.
vc_formtext_test(NAME cli_apply_all_skipped ARGS "apply ${vc_apply}/form.txt ${vc_apply}/edits-skipped.tsv -o @OUT@"
  STATUS 1 EXPECTED_OUT ${vc_apply}/unchanged.txt
  ERROR "edits-skipped.tsv:1: 第 3 行已不是 Top 屬性.*:2: 第 99 行不在文字中.*:3: 第 7 行沒有屬性名稱.*:4: 第 4 行的 Font.Height 含有無法以 Big5 碼表示的字元")
# A row that cannot be read is a data error: nothing is written.
vc_formtext_test(NAME cli_apply_malformed_row ARGS "apply ${vc_apply}/form.txt ${vc_apply}/edits-bad.tsv -o @OUT@"
  STATUS 1 PRESET "old" ERROR "^formtext: .*edits-bad.tsv:2: ")
# Characters Big5 cannot hold: a string takes them as a wide string, a
# number cannot.
vc_formtext_test(NAME cli_apply_unencodable ARGS "apply ${vc_apply}/form.txt ${vc_apply}/edits-unencodable.tsv -o @OUT@ --utf8"
  STATUS 1 EXPECTED_OUT ${vc_apply}/applied-wide.txt ERROR "edits-unencodable.tsv:2: 第 2 行的 Left 含有無法以 Big5 碼表示的字元")
vc_formtext_test(NAME cli_apply_usage ARGS "apply ${vc_apply}/form.txt ${vc_apply}/edits.tsv" STATUS 2 ERROR "usage")
