# Fails when a file of the core includes an SDL, speech-dispatcher, terminal
# or Windows header; when a file of storage/ includes a header of the game
# or the platform (the file formats stand below the game); or when a file of
# platform/ includes a header of the game.

# Sets out to the include lines of files that match pattern, each with its file.
function(includes_matching out pattern)
  set(found "")
  foreach(file ${ARGN})
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line ${lines})
      if(line MATCHES "${pattern}")
        list(APPEND found "${file}: ${line}")
      endif()
    endforeach()
  endforeach()
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE core_files ${SOURCE_DIR}/game/* ${SOURCE_DIR}/content/* ${SOURCE_DIR}/storage/*)
includes_matching(bad
  "SDL|speechd|libspeechd|termios|windows\\.h|sapi|winuser|mmsystem|unistd|ncurses" ${core_files})
if(bad)
  message(FATAL_ERROR "platform headers in the core:\n${bad}")
endif()

file(GLOB_RECURSE storage_files ${SOURCE_DIR}/storage/*)
includes_matching(above "[\"<](game|ui|speech|platform)/" ${storage_files})
if(above)
  message(FATAL_ERROR "storage/ includes a header from above it:\n${above}")
endif()

# The platform stands below the game: front-ends are told what the game
# does through the platform interface, and only app/ starts a game
# (run_game). Nothing under platform/ includes a header of the game.
file(GLOB_RECURSE frontend_files ${SOURCE_DIR}/platform/*)
includes_matching(inside "[\"<]game/" ${frontend_files})
if(inside)
  message(FATAL_ERROR "platform/ includes a header of the game:\n${inside}")
endif()
