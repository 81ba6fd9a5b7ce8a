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

# CLI11 is header-only and lives in the host's /usr/include, which must not
# go on the cross compiler's include path (its C library headers would win
# over mingw's). A folder holding only a link to CLI11's headers is safe.
if(NOT DEFINED CACHE{CLI11_INCLUDE_DIR} AND EXISTS /usr/include/CLI/CLI.hpp)
  set(quillvane_cli11_dir ${CMAKE_BINARY_DIR}/cli11-include)
  file(MAKE_DIRECTORY ${quillvane_cli11_dir})
  if(NOT EXISTS ${quillvane_cli11_dir}/CLI)
    file(CREATE_LINK /usr/include/CLI ${quillvane_cli11_dir}/CLI SYMBOLIC)
  endif()
  set(CLI11_INCLUDE_DIR ${quillvane_cli11_dir} CACHE PATH "CLI11 headers for the cross-build")
endif()
