# Checks the English catalogue PO against the texts the sources mark (tr, N_ and add_label
# in the C++ files CODE, and WORK/files.pot), then compiles it into MO. Any text without
# its translation, any fuzzy entry and anything msgfmt finds wrong stops the build, naming
# the entries.
function(run_checked what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${what}:\n${out}${err}")
  endif()
  set(checked_output "${out}" PARENT_SCOPE)
endfunction()

# Every text is written in Japanese: xgettext's warning about that is no news.
run_checked("the texts to translate could not be gathered"
  xgettext --from-code=UTF-8 --language=C++ -k -ktr -kN_ -kadd_label:2 -o ${WORK}/code.pot ${CODE})
run_checked("the texts to translate could not be gathered"
  msgcat --use-first -o ${WORK}/skarvelin.pot ${WORK}/code.pot ${WORK}/files.pot)
run_checked("${PO} lacks the translations of texts the game shows"
  msgcmp ${PO} ${WORK}/skarvelin.pot)
run_checked("${PO} could not be read" msgattrib --only-fuzzy ${PO})
if(NOT checked_output STREQUAL "")
  message(FATAL_ERROR "${PO} has fuzzy entries:\n${checked_output}")
endif()
run_checked("${PO} could not be read" msgattrib --untranslated ${PO})
if(NOT checked_output STREQUAL "")
  message(FATAL_ERROR "${PO} has untranslated entries:\n${checked_output}")
endif()
run_checked("msgfmt found faults in ${PO}" msgfmt --check -o ${MO} ${PO})
