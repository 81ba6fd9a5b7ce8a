# The WebAssembly build with Debian's emscripten (3.1.6): Emscripten's own
# toolchain file, plus what this machine's packaging needs.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# Emscripten's JS optimizer needs acorn from Debian's node modules.
set(CMAKE_CXX_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)

# CLI11 is header-only and lives in the host's /usr/include, which must not
# go on the cross compiler's include path: a folder holding only a link to
# CLI11's headers is safe (as in the Windows cross-build).
if(NOT DEFINED CACHE{CLI11_INCLUDE_DIR} AND EXISTS /usr/include/CLI/CLI.hpp)
  set(quillvane_cli11_dir ${CMAKE_BINARY_DIR}/cli11-include)
  file(MAKE_DIRECTORY ${quillvane_cli11_dir})
  if(NOT EXISTS ${quillvane_cli11_dir}/CLI)
    file(CREATE_LINK /usr/include/CLI ${quillvane_cli11_dir}/CLI SYMBOLIC)
  endif()
  set(CLI11_INCLUDE_DIR ${quillvane_cli11_dir} CACHE PATH "CLI11 headers for the WebAssembly build")
endif()
