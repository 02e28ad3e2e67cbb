# formtext preview: the picture, the layout rows and the messages.
if(TARGET vc_preview)
  set(vc_preview_data ${CMAKE_CURRENT_SOURCE_DIR}/data)
  vc_formtext_test(NAME cli_preview_text ARGS "preview ${vc_preview_data}/preview_form.txt -o @OUT@ --layout -" STATUS 0
    CONTAINS "^Form1\tTForm1\t0\t0\t200\t100\t1\t-\t\nButton1\tTButton\t0\t0\t75\t25\t1\t1\tOk\n$"
    ERROR "^formtext: 讀取錯誤 Form1.Captoin: 屬性不存在\n$")
  vc_formtext_test(NAME cli_preview_module ARGS "preview ${VC_ROOT}/samples/sample.exe --module TMAINFORM -o @OUT@ --layout -"
    STATUS 0 CONTAINS "\nOpenBtn\tTButton\t8\t8\t75\t25\t1\t1\t開啟\n" NOERROR)
  vc_formtext_test(NAME cli_preview_dfm ARGS "preview ${VC_ROOT}/samples/sample.dfm --dfm -o @OUT@ --layout -"
    STATUS 0 CONTAINS "\nLabel1\tTLabel\t16\t16\t")
  vc_formtext_test(NAME cli_preview_text_does_not_convert ARGS "preview ${vc_preview_data}/preview_form.txt --dfm -o @OUT@"
    STATUS 1 ERROR "無效的資料流格式" ABSENT)
  vc_formtext_test(NAME cli_preview_reading_stops ARGS "preview ${vc_preview_data}/preview_stops.txt -o @OUT@"
    STATUS 1 ERROR "^formtext: 讀取錯誤 Form1.Bad: 屬性不存在\nformtext: .*無效的屬性值" PRESET "old")
  vc_formtext_test(NAME cli_preview_needs_out ARGS "preview ${vc_preview_data}/preview_form.txt" STATUS 2 ERROR "-o")
endif()
