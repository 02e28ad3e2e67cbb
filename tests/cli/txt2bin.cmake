# formtext txt2bin and txt2dfm: what OUT holds after the run, the exit status
# and the message on stderr.
set(vc_t2b_sample ${VC_ROOT}/tests/cli/data/bin2txt/sample.expected)
set(vc_t2b_bad ${VC_ROOT}/tests/cli/data/txt2bin/bad.txt)

# The bundled sample's text converts back to the very bytes it was rendered from.
vc_formtext_test(NAME cli_txt2bin_dfm_file ARGS "txt2dfm ${vc_t2b_sample} -o @OUT@" STATUS 0 EXPECTED_OUT ${VC_ROOT}/samples/sample.dfm)
vc_formtext_test(NAME cli_txt2bin_dfm_stdin ARGS "txt2dfm - -o @OUT@" INPUT ${vc_t2b_sample} STATUS 0
  EXPECTED_OUT ${VC_ROOT}/samples/sample.dfm)
vc_formtext_test(NAME cli_txt2bin_bin_file ARGS "txt2bin ${vc_t2b_sample} -o @OUT@" STATUS 0
  EXPECTED_OUT ${VC_ROOT}/tests/cli/data/bin2txt/sample.bin)
vc_formtext_test(NAME cli_txt2bin_bin_stdin ARGS "txt2bin -o @OUT@" INPUT ${vc_t2b_sample} STATUS 0
  EXPECTED_OUT ${VC_ROOT}/tests/cli/data/bin2txt/sample.bin)
vc_formtext_test(NAME cli_txt2bin_dfm_replaces ARGS "txt2dfm ${vc_t2b_sample} -o @OUT@" STATUS 0 PRESET "old"
  EXPECTED_OUT ${VC_ROOT}/samples/sample.dfm)
# A failure names the line, and OUT keeps what it held (or is not created).
vc_formtext_test(NAME cli_txt2bin_bin_fails_keeps ARGS "txt2bin ${vc_t2b_bad} -o @OUT@" STATUS 1 PRESET "old contents"
  ERROR "希望一個OBJECT 在第 3 行")
vc_formtext_test(NAME cli_txt2bin_dfm_fails_keeps ARGS "txt2dfm ${vc_t2b_bad} -o @OUT@" STATUS 1 PRESET "old contents"
  ERROR "希望一個OBJECT 在第 3 行")
vc_formtext_test(NAME cli_txt2bin_dfm_fails_absent ARGS "txt2dfm ${vc_t2b_bad} -o @OUT@" STATUS 1 ABSENT
  ERROR "希望一個OBJECT 在第 3 行")
vc_formtext_test(NAME cli_txt2bin_missing_input ARGS "txt2dfm ${vc_t2b_bad}.none -o @OUT@" STATUS 1 ABSENT ERROR "bad.txt.none")
vc_formtext_test(NAME cli_txt2bin_no_out ARGS "txt2bin ${vc_t2b_sample}" STATUS 2 ERROR "usage: formtext txt2bin")
vc_formtext_test(NAME cli_txt2bin_two_files ARGS "txt2dfm a b -o @OUT@" STATUS 2 ERROR "usage: formtext txt2dfm")
# UTF-8 form text, asked for or marked by the byte-order mark, gives the same form file.
vc_formtext_test(NAME cli_txt2bin_utf8 ARGS "txt2dfm --utf8 ${VC_ROOT}/tests/cli/data/txt2bin/sample.utf8.txt -o @OUT@"
  STATUS 0 EXPECTED_OUT ${VC_ROOT}/samples/sample.dfm)
vc_formtext_test(NAME cli_txt2bin_utf8_bom ARGS "txt2bin - -o @OUT@" INPUT ${VC_ROOT}/tests/cli/data/txt2bin/sample.bom.txt
  STATUS 0 EXPECTED_OUT ${VC_ROOT}/tests/cli/data/bin2txt/sample.bin)
