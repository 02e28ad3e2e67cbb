# What every command shares: options it does not know are refused, help and
# version, -o with "-" for standard output, and output that cannot be written.
set(vc_opt_bin ${VC_ROOT}/tests/cli/data/bin2txt/sample.bin)
set(vc_opt_text ${VC_ROOT}/tests/cli/data/bin2txt/sample.expected)
set(vc_opt_module ${VC_ROOT}/samples/sample.exe)

vc_formtext_test(NAME cli_options_unknown ARGS "bin2txt ${vc_opt_bin} --nonsense" STATUS 2
  ERROR "formtext: bin2txt: .*--nonsense\nusage: formtext bin2txt ")
vc_formtext_test(NAME cli_options_not_this_commands ARGS "extract ${vc_opt_module} out --utf8" STATUS 2
  ERROR "--utf8\nusage: formtext extract ")
vc_formtext_test(NAME cli_options_missing_argument ARGS "dump ${vc_opt_module}" STATUS 2 ERROR "NAME.*\nusage: formtext dump ")
vc_formtext_test(NAME cli_options_unknown_command ARGS "frobnicate" STATUS 2 ERROR "unknown command 'frobnicate'")
vc_formtext_test(NAME cli_options_help_command ARGS "help dump" STATUS 0 NOERROR
  CONTAINS "usage: formtext dump .*-o OUT.*Example:\n  formtext dump .*Exit status")
vc_formtext_test(NAME cli_options_command_help ARGS "txt2dfm --help" STATUS 0 CONTAINS "--utf8 .*byte-order mark")
vc_formtext_test(NAME cli_options_short_help ARGS "list -h" STATUS 0 CONTAINS "usage: formtext list ")
vc_formtext_test(NAME cli_options_highlight_help ARGS "help highlight" STATUS 0 CONTAINS "--html +use the HTML highlighter")
vc_formtext_test(NAME cli_options_version ARGS "--version" STATUS 0 CONTAINS "^formtext [0-9]+\\.[0-9]+\n$")

vc_formtext_test(NAME cli_options_out_file ARGS "bin2txt ${vc_opt_bin} -o @OUT@" STATUS 0 EXPECTED_OUT ${vc_opt_text})
vc_formtext_test(NAME cli_options_out_dash ARGS "txt2dfm ${vc_opt_text} -o -" STATUS 0
  EXPECTED ${VC_ROOT}/samples/sample.dfm)
# A failed conversion leaves no partial file (on standard output it shows how far it got).
vc_formtext_test(NAME cli_options_out_no_partial ARGS "bin2txt ${VC_ROOT}/tests/cli/data/bin2txt/truncated.bin -o @OUT@"
  STATUS 1 ABSENT ERROR "truncated.bin: 資料串流讀取錯誤")
vc_formtext_test(NAME cli_options_full_utf8 ARGS "bin2txt ${vc_opt_bin} --utf8" STDOUT /dev/full STATUS 1
  ERROR "formtext: cannot write standard output: ")
vc_formtext_test(NAME cli_options_full_dump ARGS "dump ${vc_opt_module} TABOUTBOX" STDOUT /dev/full STATUS 1
  ERROR "cannot write standard output")
vc_formtext_test(NAME cli_options_full_help ARGS "help" STDOUT /dev/full STATUS 1 ERROR "cannot write standard output")
vc_formtext_test(NAME cli_options_full_file ARGS "strings ${vc_opt_text} -o /dev/full" STATUS 1 ERROR "/dev/full")
