# The translations' checks, run as a test:
#   cmake -DSOURCE_DIR=<repository> -DWORK=<folder> -P check-translations.cmake
#  1. po/quillvane.pot is what the code marks for translation: the template
#     is extracted anew and must equal it (its creation date aside);
#  2. every po/LANG.po passes msgfmt --check, translates every message of
#     the template (msgcmp) and has no fuzzy or untranslated message.
cmake_minimum_required(VERSION 3.20)
find_program(MSGFMT msgfmt REQUIRED)
find_program(MSGCMP msgcmp REQUIRED)

# The template without the line that changes at every extraction.
function(template_body file out)
  file(READ ${file} text)
  string(REGEX REPLACE "\"POT-Creation-Date: [^\"]*\"\n" "" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${SOURCE_DIR} -DOUTPUT=${WORK}/quillvane.pot
                        -P ${SOURCE_DIR}/cmake/translation-template.cmake
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "could not extract the template")
endif()
template_body(${WORK}/quillvane.pot fresh)
template_body(${SOURCE_DIR}/po/quillvane.pot kept)
if(NOT fresh STREQUAL kept)
  execute_process(COMMAND diff -u ${SOURCE_DIR}/po/quillvane.pot ${WORK}/quillvane.pot)
  message(FATAL_ERROR "po/quillvane.pot is not what the code marks for translation: run "
                      "cmake --build build --target update_template, then update the catalogs "
                      "(msgmerge --update po/LANG.po po/quillvane.pot)")
endif()

file(GLOB catalogs ${SOURCE_DIR}/po/*.po)
foreach(po ${catalogs})
  get_filename_component(language ${po} NAME_WE)
  execute_process(COMMAND ${MSGFMT} --check --statistics -o ${WORK}/${language}.mo ${po}
                  RESULT_VARIABLE status ERROR_VARIABLE statistics)
  string(STRIP "${statistics}" statistics)
  message(STATUS "${language}: ${statistics}")
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${language}.po does not pass msgfmt --check")
  endif()
  if(statistics MATCHES "fuzzy|untranslated")
    message(FATAL_ERROR "${language}.po has fuzzy or untranslated messages: ${statistics}")
  endif()
  execute_process(COMMAND ${MSGCMP} ${po} ${SOURCE_DIR}/po/quillvane.pot RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${language}.po does not translate every message of the template")
  endif()
endforeach()
