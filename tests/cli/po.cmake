# formtext po: templates out, translations back; hostile PO files write nothing.
set(vc_po_data ${VC_ROOT}/tests/cli/data/po)
set(vc_sample_forms "TABOUTBOX.dfm|TMAINFORM.dfm|TOPTIONSFORM.dfm")

vc_formtext_test(NAME cli_po_export ARGS "po export ${VC_ROOT}/samples/sample.exe -o @OUT@" STATUS 0 NOERROR)
vc_formtext_test(NAME cli_po_usage ARGS "po export ${VC_ROOT}/samples/sample.exe" STATUS 2 ERROR "usage")
vc_formtext_test(NAME cli_po_export_stdout ARGS "po export ${VC_ROOT}/samples/sample.exe -o -" STATUS 0
  CONTAINS "msgctxt \"TABOUTBOX.Caption\"" NOERROR)
# A template that misses forms is not written at all.
vc_formtext_test(NAME cli_po_export_folder ARGS "po export ${VC_ROOT}/samples -o @OUT@" STATUS 1 ERROR "samples" ABSENT)
find_program(VC_HEAD head)
if(VC_HEAD)
  execute_process(COMMAND ${VC_HEAD} -c 5000 ${VC_ROOT}/samples/sample.exe
                  OUTPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/truncated.exe)
  vc_formtext_test(NAME cli_po_export_truncated ARGS "po export ${CMAKE_CURRENT_BINARY_DIR}/truncated.exe -o @OUT@"
    STATUS 1 ERROR "truncated" PRESET "old")
endif()
vc_formtext_test(NAME cli_po_apply_reports ARGS "po apply ${VC_ROOT}/samples/sample.exe ${vc_po_data}/partial.po -o ${CMAKE_CURRENT_BINARY_DIR}/po_partial"
  STATUS 1 ERROR "missing: TOPTIONSFORM.*partial.po:15: obsolete: TABOUTBOX.Gone.Caption: no such string"
  OUTDIR ${CMAKE_CURRENT_BINARY_DIR}/po_partial FILES "${vc_sample_forms}")

# --module: the translated copy in one step (round trips: tests/modres/patch_check.py);
# never onto SOURCE itself, and only from a module.
vc_formtext_test(NAME cli_po_apply_onto_source ARGS "po apply @OUT@ ${vc_po_data}/partial.po --module @OUT@"
  STATUS 2 ERROR "other than SOURCE" PRESET "MZ")
vc_formtext_test(NAME cli_po_apply_module_of_form_file ARGS "po apply ${VC_ROOT}/samples/sample.dfm ${vc_po_data}/partial.po --module @OUT@"
  STATUS 2 ERROR "needs SOURCE to be a module" ABSENT)

# A translation longer than any form holds, made at configure time.
string(REPEAT "譯" 400000 vc_po_huge)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/huge-entry.po
  "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
  "msgctxt \"TABOUTBOX.Caption\"\nmsgid \"關於\"\nmsgstr \"${vc_po_huge}\"\n")
foreach(bad broken-quote:7 invalid-utf8:7 duplicate:10 huge-entry:6)
  string(REPLACE ":" ";" bad ${bad})
  list(GET bad 0 name)
  list(GET bad 1 line)
  set(po ${vc_po_data}/${name}.po)
  if(name STREQUAL "huge-entry")
    set(po ${CMAKE_CURRENT_BINARY_DIR}/huge-entry.po)
  endif()
  vc_formtext_test(NAME cli_po_hostile_${name} ARGS "po apply ${VC_ROOT}/samples/sample.exe ${po} -o ${CMAKE_CURRENT_BINARY_DIR}/po_${name}"
    STATUS 2 ERROR "${name}.po:${line}:" OUTDIR ${CMAKE_CURRENT_BINARY_DIR}/po_${name} FILES "")
endforeach()

# Every module: the untouched template gives back exactly what extract --dfm writes.
add_test(NAME cli_po_untouched_round_trip COMMAND ${CMAKE_COMMAND} -DFORMTEXT=$<TARGET_FILE:formtext>
  "-DMODULES=${VC_ROOT}/samples/sample.exe" -DCORPUS=${VC_CORPUS} -DWORK=${CMAKE_CURRENT_BINARY_DIR}/po_round_trip
  -P ${CMAKE_CURRENT_SOURCE_DIR}/support/PoRoundTrip.cmake)
# The module is read once by the exchange, the copy and the satellite.
find_program(VC_STRACE strace)
if(VC_STRACE)
  add_test(NAME cli_po_apply_reads_the_module_once COMMAND ${CMAKE_COMMAND} -DFORMTEXT=$<TARGET_FILE:formtext>
    -DSTRACE=${VC_STRACE} -DMODULE=${VC_ROOT}/tests/modres/fixtures/forms32.exe
    -DWORK=${CMAKE_CURRENT_BINARY_DIR}/read_once -P ${CMAKE_CURRENT_SOURCE_DIR}/support/ReadOnce.cmake)
endif()
