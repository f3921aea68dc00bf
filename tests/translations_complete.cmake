# Every text the window asks to be translated has its Polish entry: the translation
# tool collects the texts again, from the window's sources and the engine's table of
# error descriptions, into a copy of the Polish file, which must gain nothing and be
# left with no unfinished entry. (A text filed under a context the window never asks
# for shows in English however good its translation is.)
#
# cmake -DLUPDATE=... -DSOURCE=<project folder> -DWORK=<scratch folder> -P this file
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(COPY "${SOURCE}/translations/kestrava_pl.ts" DESTINATION "${WORK}")
execute_process(
  COMMAND "${LUPDATE}" "${SOURCE}/src/gui" "${SOURCE}/src/core/listing/machine_family.cpp"
          -tr-function-alias QT_TRANSLATE_NOOP+=KESTRAVA_TRANSLATE_NOOP
          -ts "${WORK}/kestrava_pl.ts"
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "lupdate failed (${status}): ${output}${errors}")
endif()
if(NOT output MATCHES "\\(0 new and")
  message(FATAL_ERROR "texts without a Polish entry in their context:\n${output}")
endif()
file(STRINGS "${WORK}/kestrava_pl.ts" unfinished REGEX "type=\"unfinished\"")
if(unfinished)
  message(FATAL_ERROR "untranslated entries:\n${unfinished}")
endif()
