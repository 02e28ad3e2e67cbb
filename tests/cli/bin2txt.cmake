# formtext bin2txt and dfm2txt: stdout byte for byte against a reference, the
# exit status and the message on stderr.
set(vc_b2t_data ${VC_ROOT}/tests/cli/data/bin2txt)

vc_formtext_test(NAME cli_bin2txt_dfm_file ARGS "dfm2txt ${VC_ROOT}/samples/sample.dfm" STATUS 0
  EXPECTED ${vc_b2t_data}/sample.expected)
vc_formtext_test(NAME cli_bin2txt_dfm_stdin ARGS "dfm2txt -" INPUT ${VC_ROOT}/samples/sample.dfm STATUS 0
  EXPECTED ${vc_b2t_data}/sample.expected)
vc_formtext_test(NAME cli_bin2txt_bin_file ARGS "bin2txt ${vc_b2t_data}/sample.bin" STATUS 0
  EXPECTED ${vc_b2t_data}/sample.expected)
vc_formtext_test(NAME cli_bin2txt_bin_stdin ARGS "bin2txt" INPUT ${vc_b2t_data}/sample.bin STATUS 0
  EXPECTED ${vc_b2t_data}/sample.expected)
vc_formtext_test(NAME cli_bin2txt_utf8 ARGS "dfm2txt ${VC_ROOT}/samples/sample.dfm --utf8" STATUS 0
  CONTAINS "Caption = '會議室名稱：'")
vc_formtext_test(NAME cli_bin2txt_truncated ARGS "bin2txt ${vc_b2t_data}/truncated.bin" STATUS 1
  EXPECTED ${vc_b2t_data}/truncated.expected ERROR "資料串流讀取錯誤 \\(at byte [0-9]+\\)")
vc_formtext_test(NAME cli_bin2txt_not_a_stream ARGS "bin2txt ${VC_ROOT}/samples/sample.dfm" STATUS 1
  EXPECTED ${vc_b2t_data}/empty.expected ERROR "無效的資料流格式 \\(a .dfm form file\\? use dfm2txt\\)")
vc_formtext_test(NAME cli_bin2txt_text_dfm ARGS "dfm2txt ${vc_b2t_data}/text.dfm" STATUS 1
  EXPECTED ${vc_b2t_data}/empty.expected ERROR "無效的資料流格式")
vc_formtext_test(NAME cli_bin2txt_missing ARGS "dfm2txt ${vc_b2t_data}/no-such.dfm" STATUS 1 ERROR "no-such.dfm")
vc_formtext_test(NAME cli_bin2txt_two_files ARGS "bin2txt a b" STATUS 2 ERROR "usage: formtext bin2txt")
vc_formtext_test(NAME cli_bin2txt_help ARGS "--help" STATUS 0 CONTAINS "dfm2txt")
