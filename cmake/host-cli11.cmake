# Shared by the cross-build toolchain files (Windows, WebAssembly). CLI11 is
# header-only and lives in the host's /usr/include, which must not go on a
# cross compiler's include path (its C library headers would win over the
# target's). A folder holding only a link to CLI11's headers is safe.
if(NOT DEFINED CACHE{CLI11_INCLUDE_DIR} AND EXISTS /usr/include/CLI/CLI.hpp)
  set(quillvane_cli11_dir ${CMAKE_BINARY_DIR}/cli11-include)
  file(MAKE_DIRECTORY ${quillvane_cli11_dir})
  if(NOT EXISTS ${quillvane_cli11_dir}/CLI)
    file(CREATE_LINK /usr/include/CLI ${quillvane_cli11_dir}/CLI SYMBOLIC)
  endif()
  set(CLI11_INCLUDE_DIR ${quillvane_cli11_dir} CACHE PATH "CLI11 headers for the cross-build")
endif()
