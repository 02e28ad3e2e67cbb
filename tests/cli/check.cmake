# formtext check over a test module with planted faults: a form of it
# replaced by one holding a panel of buttons, labels and a menu, and a PO
# file with one fault per check in its forms and its resource strings.
set(vc_check_data ${CMAKE_CURRENT_SOURCE_DIR}/data/check)
set(vc_check_module ${CMAKE_CURRENT_BINARY_DIR}/check-planted.exe)
add_test(NAME cli_check_module COMMAND formtext patch ${VC_ROOT}/tests/modres/fixtures/forms32.exe
  ${vc_check_data}/TFORM1.txt -o ${vc_check_module})
set_tests_properties(cli_check_module PROPERTIES FIXTURES_SETUP check_module)

# Every fault under its check name and nothing on the clean entries; a clean
# translation passes, untranslated entries never fail it.
vc_formtext_test(NAME cli_check_planted_tsv ARGS "check ${vc_check_module} ${vc_check_data}/planted.po --format tsv"
  STATUS 1 NOERROR EXPECTED ${vc_check_data}/planted.tsv)
vc_formtext_test(NAME cli_check_planted_text ARGS "check ${vc_check_module} ${vc_check_data}/planted.po --untranslated"
  STATUS 1 NOERROR CONTAINS "/planted.po:13: untranslated: not translated\n.*/planted.po:65: overflow: the text does not fit its control \\(TButton, 75 px wide\\)\n")
vc_formtext_test(NAME cli_check_clean ARGS "check ${vc_check_module} ${vc_check_data}/clean.po --untranslated"
  STATUS 0 NOERROR CONTAINS_TEXT "clean.po:13: untranslated: not translated\n")
vc_formtext_test(NAME cli_check_bad_codepage ARGS "check ${vc_check_module} ${vc_check_data}/clean.po --source-codepage big5"
  STATUS 2 ERROR "not a code page of")
vc_formtext_test(NAME cli_check_unreadable_po ARGS "check ${vc_check_module} ${VC_ROOT}/tests/cli/data/po/broken-quote.po"
  STATUS 2 ERROR "broken-quote.po:7:")
vc_formtext_test(NAME cli_check_unreadable_source ARGS "check ${VC_ROOT}/README.md ${vc_check_data}/clean.po"
  STATUS 2 ERROR "README.md")
set_tests_properties(cli_check_planted_tsv cli_check_planted_text cli_check_clean cli_check_bad_codepage
  cli_check_unreadable_po PROPERTIES FIXTURES_REQUIRED check_module)

# Every corpus module against its untouched template translated as itself:
# only what the sources already have (clashing hotkeys, texts that do not fit).
find_program(VC_MSGEN msgen)
if(VC_MSGEN)
  add_test(NAME cli_check_corpus_self COMMAND ${CMAKE_COMMAND} -DFORMTEXT=$<TARGET_FILE:formtext> -DMSGEN=${VC_MSGEN}
    -DCORPUS=${VC_CORPUS} -DWORK=${CMAKE_CURRENT_BINARY_DIR}/check_corpus
    -P ${CMAKE_CURRENT_SOURCE_DIR}/support/CheckSelf.cmake)
  set_tests_properties(cli_check_corpus_self PROPERTIES SKIP_REGULAR_EXPRESSION "no corpus modules: skipped")
endif()
