# formtext highlight: the token dump byte for byte against a reference, the
# coloured output holding a given text, and the errors.
set(vc_hl_data ${VC_ROOT}/tests/cli/data/highlight)

# Every rule of the form text scanner, a brace block over three lines, Big5
# bytes inside and outside quotes.
vc_formtext_test(NAME cli_highlight_form_tokens ARGS "highlight ${vc_hl_data}/form.txt --tokens" STATUS 0
  EXPECTED ${vc_hl_data}/form.tokens)
vc_formtext_test(NAME cli_highlight_form_tokens_stdin ARGS "highlight - --tokens" INPUT ${vc_hl_data}/form.txt STATUS 0
  EXPECTED ${vc_hl_data}/form.tokens)
# Tags, entities, a comment and an ASP block spanning lines.
vc_formtext_test(NAME cli_highlight_html_tokens ARGS "highlight --html --tokens ${vc_hl_data}/page.txt" STATUS 0
  EXPECTED ${vc_hl_data}/page.tokens)
# Colours: "object" bold red, the Big5 caption decoded whole and green.
vc_formtext_test(NAME cli_highlight_form_colours ARGS "highlight ${vc_hl_data}/form.txt --color=always" STATUS 0
  CONTAINS_TEXT "[0;1;38;2;255;0;0;49mobject")
vc_formtext_test(NAME cli_highlight_form_colours_big5 ARGS "highlight ${vc_hl_data}/form.txt --color=always" STATUS 0
  CONTAINS_TEXT "[0;38;2;0;128;0;49m'中文'#13#10'It''s'")
vc_formtext_test(NAME cli_highlight_empty_input ARGS "highlight --tokens" INPUT ${vc_hl_data}/empty.txt STATUS 0
  EXPECTED ${vc_hl_data}/empty.txt)
vc_formtext_test(NAME cli_highlight_missing ARGS "highlight ${vc_hl_data}/no-such.txt" STATUS 1 ERROR "no-such.txt")
vc_formtext_test(NAME cli_highlight_bad_flag ARGS "highlight --bogus" STATUS 2 ERROR "usage")
# Escapes only where asked for, or to a terminal: a file gets the plain text.
vc_formtext_test(NAME cli_highlight_plain_to_a_file ARGS "highlight ${vc_hl_data}/form.txt -o @OUT@" STATUS 0 NOERROR
  EXPECTED_OUT ${vc_hl_data}/form.utf8)
vc_formtext_test(NAME cli_highlight_bad_colour ARGS "highlight --color=sometimes" STATUS 2 ERROR "--color")
# UTF-8 form text, asked for or known by its byte-order mark, is shown as its characters.
vc_formtext_test(NAME cli_highlight_utf8 ARGS "highlight ${VC_ROOT}/tests/cli/data/txt2bin/sample.utf8.txt --utf8 --color=never"
  STATUS 0 CONTAINS "Caption = '會議室名稱：'")
vc_formtext_test(NAME cli_highlight_bom ARGS "highlight ${VC_ROOT}/tests/cli/data/txt2bin/sample.bom.txt --color=never"
  STATUS 0 CONTAINS "Caption = '會議室名稱：'")
