# Extracts every text the code marks for translation into a gettext
# template, with xgettext:
#   cmake -DSOURCE_DIR=<repository> -DOUTPUT=<file.pot> -P translation-template.cmake
# The marks: tr("text"), trn("singular", "plural", n), N_("text") for a
# text looked up later, NC_("context", "text") for a name in its context
# ("item", "collection"); in the web page's modules (web/*.js), N_('text').
# Locations name files only, so that moving a line changes nothing; the
# files are read in sorted order, the game's first, then the page's.
cmake_minimum_required(VERSION 3.20)
find_program(XGETTEXT xgettext REQUIRED)
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/src/*.h)
list(SORT sources)
execute_process(
  COMMAND ${XGETTEXT} --language=C++ --from-code=UTF-8 --keyword --keyword=tr --keyword=trn:1,2
          --keyword=N_ --keyword=NC_:1c,2 --flag=tr:1:c-format --flag=trn:1:c-format
          --flag=trn:2:c-format --add-comments=TRANSLATORS: --add-location=file
          --package-name=Quillvane
          --output=${OUTPUT} ${sources}
  WORKING_DIRECTORY ${SOURCE_DIR}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "xgettext failed")
endif()
# The web page's own texts, joined to the same template: a text the game
# says too is one message.
file(GLOB page_sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/web/*.js)
list(SORT page_sources)
execute_process(
  COMMAND ${XGETTEXT} --language=JavaScript --from-code=UTF-8 --join-existing --keyword
          --keyword=N_ --add-comments=TRANSLATORS: --add-location=file --package-name=Quillvane
          --output=${OUTPUT} ${page_sources}
  WORKING_DIRECTORY ${SOURCE_DIR}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "xgettext failed on the web page")
endif()
# The texts are UTF-8 (the translations' letters), as every catalog is.
file(READ ${OUTPUT} template)
string(REPLACE "charset=CHARSET" "charset=UTF-8" template "${template}")
file(WRITE ${OUTPUT} "${template}")
