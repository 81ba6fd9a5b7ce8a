# Cross-compiles the Windows build on Linux with mingw-w64 (Debian's
# g++-mingw-w64-x86-64-posix). The -posix compilers are the ones with
# std::thread, which GoogleTest needs. Everything links statically, so
# quillvane.exe imports only Windows system DLLs. Tests run under wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUILLVANE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUILLVANE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILLVANE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUILLVANE_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUILLVANE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The game object holds several 10000-entry lists (a few megabytes); the
# Windows default of a 1 MB main-thread stack is too small for one made on
# the stack, as tests do. Reserve 16 MB, as on Linux.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--stack,16777216")

# ctest runs the Windows test programs through wine.
find_program(QUILLVANE_WINE wine)
if(QUILLVANE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUILLVANE_WINE})
endif()

# CLI11 from the host, without the host's include folder.
include(${CMAKE_CURRENT_LIST_DIR}/host-cli11.cmake)
