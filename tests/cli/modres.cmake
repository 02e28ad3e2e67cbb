# formtext list, dump and extract over the test modules. Included by
# tests/cli (adds the cases) and run with -P by each case.
if(CMAKE_SCRIPT_MODE_FILE)
  if(OUTDIR)
    file(REMOVE_RECURSE ${OUTDIR})
  endif()
  separate_arguments(argv UNIX_COMMAND "${ARGS}")
  execute_process(COMMAND ${FORMTEXT} ${argv} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status STREQUAL "${STATUS}")
    message(FATAL_ERROR "exit status ${status}, expected ${STATUS}; stderr: ${err}")
  endif()
  if(EXPECTED)
    file(READ ${EXPECTED} want)
    if(NOT out STREQUAL want)
      message(FATAL_ERROR "output differs:\n${out}\nexpected:\n${want}")
    endif()
  endif()
  if(CONTAINS AND NOT out MATCHES "${CONTAINS}")
    message(FATAL_ERROR "output lacks '${CONTAINS}':\n${out}")
  endif()
  if(ERROR AND NOT err MATCHES "${ERROR}")
    message(FATAL_ERROR "stderr lacks '${ERROR}': ${err}")
  endif()
  if(NOERROR AND NOT err STREQUAL "")
    message(FATAL_ERROR "unexpected stderr: ${err}")
  endif()
  if(OUTDIR)
    # FILES: the exact set of files written, separated by "|".
    string(REPLACE "|" ";" want_files "${FILES}")
    file(GLOB written RELATIVE ${OUTDIR} ${OUTDIR}/*)
    list(SORT written)
    list(SORT want_files)
    if(NOT written STREQUAL want_files)
      message(FATAL_ERROR "files written: ${written}\nexpected: ${want_files}")
    endif()
    # SAME: "FILE|NAME": the form file converted back gives the text that dump gives.
    if(SAME)
      string(REPLACE "|" ";" same "${SAME}")
      list(GET same 0 same_file)
      list(GET same 1 same_name)
      list(GET argv 1 module)
      execute_process(COMMAND ${FORMTEXT} dump ${module} ${same_name} OUTPUT_VARIABLE dumped RESULT_VARIABLE s1)
      if(same_file MATCHES "\\.dfm$")
        execute_process(COMMAND ${FORMTEXT} dfm2txt ${OUTDIR}/${same_file} OUTPUT_VARIABLE stored RESULT_VARIABLE s2)
      else()
        file(READ ${OUTDIR}/${same_file} stored)
        set(s2 0)
      endif()
      if(NOT s1 EQUAL 0 OR NOT s2 EQUAL 0 OR NOT dumped STREQUAL stored)
        message(FATAL_ERROR "${same_file} differs from dump ${same_name}:\n${stored}\n---\n${dumped}")
      endif()
    endif()
  endif()
  return()
endif()

set(vc_modules ${VC_ROOT}/tests/modres/fixtures)
set(vc_modres_out ${CMAKE_CURRENT_BINARY_DIR}/modres_out)
function(vc_modres_test name)
  cmake_parse_arguments(M "NOERROR" "ARGS;STATUS;EXPECTED;CONTAINS;ERROR;OUTDIR;FILES;SAME" "" ${ARGN})
  add_test(NAME cli_modres_${name} COMMAND ${CMAKE_COMMAND}
    -DFORMTEXT=$<TARGET_FILE:formtext> "-DARGS=${M_ARGS}" -DSTATUS=${M_STATUS} -DEXPECTED=${M_EXPECTED}
    -DCONTAINS=${M_CONTAINS} -DERROR=${M_ERROR} -DNOERROR=${M_NOERROR} -DOUTDIR=${M_OUTDIR}
    "-DFILES=${M_FILES}" "-DSAME=${M_SAME}"
    -P ${CMAKE_CURRENT_LIST_DIR}/modres.cmake)
endfunction()

set(vc_open_failed "無法載入檔案，可能檔案不是使用EDLPHI編寫的，或者資源已經損壞！")

vc_modres_test(list_pe32 ARGS "list ${vc_modules}/forms32.exe" STATUS 0 NOERROR
  EXPECTED ${VC_ROOT}/tests/modres/data/forms.list)
vc_modres_test(list_pe32plus ARGS "list ${vc_modules}/forms64.dll" STATUS 0
  EXPECTED ${VC_ROOT}/tests/modres/data/forms.list)
vc_modres_test(list_utf8 ARGS "list ${vc_modules}/forms32.exe --utf8" STATUS 0 CONTAINS "dvclal\n表單一\n#1234\n")
vc_modres_test(list_no_resources ARGS "list ${vc_modules}/nores32.exe" STATUS 1 NOERROR)
vc_modres_test(list_no_rcdata ARGS "list ${vc_modules}/noforms64.exe" STATUS 1 NOERROR)
vc_modres_test(list_not_a_module ARGS "list ${VC_ROOT}/README.md" STATUS 1 ERROR "${vc_open_failed}")
vc_modres_test(list_missing ARGS "list ${vc_modules}/no-such.exe" STATUS 1 ERROR "${vc_open_failed}")
vc_modres_test(list_usage ARGS "list" STATUS 2 ERROR "usage")

vc_modres_test(dump_form ARGS "dump ${vc_modules}/forms32.exe TFORM1 --utf8" STATUS 0 NOERROR
  CONTAINS "^object Form1: TForm1\r\n.*Caption = '功能'\r\n.*\r\nend\r\n$")
vc_modres_test(dump_inherited ARGS "dump ${vc_modules}/forms64.dll TINHFORM --utf8" STATUS 0
  CONTAINS "^inherited InhForm: TInhForm \\[3\\]\r\n")
vc_modres_test(dump_numeric ARGS "dump ${vc_modules}/forms32.exe #1234 --utf8" STATUS 0 CONTAINS "數字編號")
vc_modres_test(dump_big5_name ARGS "dump ${vc_modules}/forms32.exe 表單一 --utf8" STATUS 0 CONTAINS "中文名稱")
vc_modres_test(dump_escaped_name ARGS "dump ${vc_modules}/forms32.exe EMOJI{U+1F600} --utf8" STATUS 0
  CONTAINS "表情符號")
vc_modres_test(dump_not_a_form ARGS "dump ${vc_modules}/forms32.exe SETTINGS" STATUS 1 ERROR "無效的資料流格式")
vc_modres_test(dump_unknown ARGS "dump ${vc_modules}/forms32.exe NOSUCH" STATUS 1 ERROR "資源 NOSUCH 未找到")
vc_modres_test(dump_not_a_module ARGS "dump ${VC_ROOT}/README.md TFORM1" STATUS 1 ERROR "${vc_open_failed}")

set(vc_forms_txt "#1234.txt|CAF{U+00C9}.txt|EMOJI{U+1F600}.txt|TABOUTBOX.txt|TFORM1.txt|TINHFORM.txt|TLANGFORM.txt|dvclal.txt|表單一.txt")
string(REPLACE ".txt" ".dfm" vc_forms_dfm "${vc_forms_txt}")
vc_modres_test(extract_text ARGS "extract ${vc_modules}/forms32.exe ${vc_modres_out}/text" STATUS 1
  ERROR "SETTINGS: 無效的資料流格式" OUTDIR ${vc_modres_out}/text FILES "${vc_forms_txt}" SAME "TFORM1.txt|TFORM1")
vc_modres_test(extract_dfm ARGS "extract ${vc_modules}/forms64.dll ${vc_modres_out}/dfm --dfm" STATUS 1
  ERROR "SETTINGS: 無效的資料流格式" OUTDIR ${vc_modres_out}/dfm FILES "${vc_forms_dfm}"
  SAME "TINHFORM.dfm|TINHFORM")
vc_modres_test(extract_dfm_big5 ARGS "extract ${vc_modules}/forms32.exe ${vc_modres_out}/dfm2 --dfm" STATUS 1
  OUTDIR ${vc_modres_out}/dfm2 FILES "${vc_forms_dfm}" SAME "TFORM1.dfm|TFORM1")
# Names unfit as file names stay inside the folder and do not overwrite each other.
string(REPEAT X 200 vc_long)
vc_modres_test(extract_unsafe_names ARGS "extract ${vc_modules}/paths32.exe ${vc_modres_out}/paths" STATUS 0 NOERROR
  OUTDIR ${vc_modres_out}/paths
  FILES "_...txt|_.._ESCAPE.txt|_.HIDDEN.txt|A_B_C.txt|A_B__.txt|LINE{U+000A}BREAK.txt|TFORM1.txt|tform1~2.txt|${vc_long}.txt")
vc_modres_test(extract_no_rcdata ARGS "extract ${vc_modules}/noforms64.exe ${vc_modres_out}/none" STATUS 1
  OUTDIR ${vc_modres_out}/none FILES "")
vc_modres_test(extract_into_a_file ARGS "extract ${vc_modules}/forms32.exe ${VC_ROOT}/README.md" STATUS 1
  ERROR "無法建立檔案")
vc_modres_test(extract_usage ARGS "extract ${vc_modules}/forms32.exe" STATUS 2 ERROR "usage")
