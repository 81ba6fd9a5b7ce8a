# Fails when a file of the core includes an SDL, speech-dispatcher, terminal
# or Windows header, or when a file of storage/ includes a header of the game
# or the platform: the file formats stand below the game.
file(GLOB_RECURSE core_files
  ${SOURCE_DIR}/game/* ${SOURCE_DIR}/content/* ${SOURCE_DIR}/ui/*
  ${SOURCE_DIR}/speech/* ${SOURCE_DIR}/storage/*)
set(bad "")
foreach(file ${core_files})
  file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line ${lines})
    if(line MATCHES "SDL|speechd|libspeechd|termios|windows\\.h|sapi|winuser|mmsystem|unistd|ncurses")
      list(APPEND bad "${file}: ${line}")
    endif()
  endforeach()
endforeach()
if(bad)
  message(FATAL_ERROR "platform headers in the core:\n${bad}")
endif()

file(GLOB_RECURSE storage_files ${SOURCE_DIR}/storage/*)
set(above "")
foreach(file ${storage_files})
  file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line ${lines})
    if(line MATCHES "[\"<](game|ui|speech|platform)/")
      list(APPEND above "${file}: ${line}")
    endif()
  endforeach()
endforeach()
if(above)
  message(FATAL_ERROR "storage/ includes a header from above it:\n${above}")
endif()
