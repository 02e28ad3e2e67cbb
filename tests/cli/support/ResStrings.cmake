# Resource strings through po export, po apply and patch (run with -P;
# FORMTEXT, MODULES (the test modules' folder), WORK):
#  - a hostile block is named on standard error; the forms and the other
#    blocks still export;
#  - a module with string tables and no forms exports and translates;
#  - po apply -o DIR says how many resource strings it did not write;
#  - patch writes a folder's STRINGTABLE.po into the copy;
#  - msgfmt -c holds a translation to the Format directives of its msgid.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

function(run)
  cmake_parse_arguments(R "" "STATUS;ERROR" "ARGS" ${ARGN})
  execute_process(COMMAND ${FORMTEXT} ${R_ARGS} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status STREQUAL "${R_STATUS}")
    message(FATAL_ERROR "formtext ${R_ARGS}: exit status ${status}, expected ${R_STATUS}; stderr: ${err}")
  endif()
  if(R_ERROR AND NOT err MATCHES "${R_ERROR}")
    message(FATAL_ERROR "formtext ${R_ARGS}: stderr lacks '${R_ERROR}': ${err}")
  endif()
  if(NOT R_ERROR AND NOT err STREQUAL "")
    message(FATAL_ERROR "formtext ${R_ARGS}: unexpected stderr: ${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

function(expect_in file text)
  file(READ ${file} content)
  string(FIND "${content}" "${text}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${file} lacks '${text}'")
  endif()
endfunction()

# The hostile block: named, and the form and the other blocks exported.
run(ARGS po export ${MODULES}/badstrings32.exe -o ${WORK}/bad.pot STATUS 1 ERROR "string table block 3 .*run past the block's end")
expect_in(${WORK}/bad.pot "msgctxt \"TFORM1.Caption\"")
expect_in(${WORK}/bad.pot "msgctxt \"STRINGTABLE.64\"\nmsgid \"Fünfter Block %d\"")
file(READ ${WORK}/bad.pot bad)
if(bad MATCHES "STRINGTABLE\\.3[2-9]")
  message(FATAL_ERROR "a string of the hostile block was exported")
endif()

# No forms, one string: exported, translated, written.
run(ARGS po export ${MODULES}/noforms64.exe -o ${WORK}/noforms.pot STATUS 0)
expect_in(${WORK}/noforms.pot "msgctxt \"STRINGTABLE.1\"\nmsgid \"沒有窗體\"\nmsgstr \"\"")
file(READ ${WORK}/noforms.pot pot)
string(REPLACE "msgid \"沒有窗體\"\nmsgstr \"\"" "msgid \"沒有窗體\"\nmsgstr \"無窗體 😀\"" po "${pot}")
file(WRITE ${WORK}/noforms.po "${po}")
run(ARGS po apply ${MODULES}/noforms64.exe ${WORK}/noforms.po --module ${WORK}/noforms-zh.exe STATUS 0)
run(ARGS resstrings ${WORK}/noforms-zh.exe STATUS 0)
if(NOT out STREQUAL "1\t1028\t無窗體 😀\n")
  message(FATAL_ERROR "the translated copy holds: ${out}")
endif()
run(ARGS po apply ${MODULES}/noforms64.exe ${WORK}/noforms.po -o ${WORK}/noforms-forms STATUS 0
    ERROR "1 translated resource string is not written: -o writes form files only; --module OUT writes them")

# patch: a folder's form files and its STRINGTABLE.po; the form entries of
# the PO file are left to po apply.
run(ARGS po export ${MODULES}/forms32.exe -o ${WORK}/forms.pot STATUS 0)
file(READ ${WORK}/forms.pot pot)
string(REPLACE "msgid \"OK\"\nmsgstr \"\"" "msgid \"OK\"\nmsgstr \"確定\"" po "${pot}")
string(REPLACE "msgid \"功能\"\nmsgstr \"\"" "msgid \"功能\"\nmsgstr \"不寫入\"" po "${po}")
file(MAKE_DIRECTORY ${WORK}/folder)
file(WRITE ${WORK}/folder/STRINGTABLE.po "${po}")
run(ARGS patch ${MODULES}/forms32.exe ${WORK}/folder -o ${WORK}/patched.exe STATUS 0)
run(ARGS resstrings ${WORK}/patched.exe STATUS 0)
string(FIND "${out}" "65233\t1031\t確定\n" at)
if(at EQUAL -1)
  message(FATAL_ERROR "patch did not write STRINGTABLE.po: ${out}")
endif()
run(ARGS dump ${WORK}/patched.exe TFORM1 --utf8 STATUS 0)
string(FIND "${out}" "不寫入" at)
if(NOT at EQUAL -1)
  message(FATAL_ERROR "patch wrote a form entry of STRINGTABLE.po")
endif()
run(ARGS patch ${MODULES}/nores32.exe ${WORK}/folder/STRINGTABLE.po -o ${WORK}/nores.exe STATUS 1
    ERROR "the module has no resource strings")

# msgfmt -c: the template passes, a translation that drops a directive does not.
find_program(MSGFMT msgfmt)
if(MSGFMT)
  execute_process(COMMAND ${MSGFMT} -c -o /dev/null ${WORK}/forms.pot RESULT_VARIABLE s ERROR_VARIABLE err)
  if(s)
    message(FATAL_ERROR "msgfmt -c refuses the template: ${err}")
  endif()
  string(REPLACE "msgid \"'%s' 不是有效的日期\"\nmsgstr \"\"" "msgid \"'%s' 不是有效的日期\"\nmsgstr \"無效的日期\"" po "${pot}")
  file(WRITE ${WORK}/dropped.po "${po}")
  execute_process(COMMAND ${MSGFMT} -c -o /dev/null ${WORK}/dropped.po RESULT_VARIABLE s ERROR_VARIABLE err)
  if(NOT s OR NOT err MATCHES "for argument 0 doesn't exist in 'msgstr'")
    message(FATAL_ERROR "msgfmt -c accepts a translation without the msgid's %s: ${err}")
  endif()
endif()
file(REMOVE_RECURSE ${WORK})
