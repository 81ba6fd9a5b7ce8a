# The WebAssembly build with Debian's emscripten (3.1.6): Emscripten's own
# toolchain file, plus what this machine's packaging needs.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# Emscripten's JS optimizer needs acorn from Debian's node modules.
set(CMAKE_CXX_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)

# CLI11 from the host, without the host's include folder.
include(${CMAKE_CURRENT_LIST_DIR}/host-cli11.cmake)
