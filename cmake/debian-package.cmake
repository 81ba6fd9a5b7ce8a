# The Linux desktop files and the Debian package built from the install rules:
#   cpack --config build/CPackConfig.cmake    (or: cmake --build build --target package)
# writes build/quillvane_<version>_amd64.deb. The package installs under /usr:
# the game in bin, its cues in share/quillvane/sounds, a desktop entry, an
# icon, AppStream metadata, the manual page and the Debian doc files. Nothing
# the game writes lives there: saves go to the player's data folder.
set(quillvane_packaging ${PROJECT_SOURCE_DIR}/packaging)
set(quillvane_staged ${CMAKE_BINARY_DIR}/packaging)
set(QUILLVANE_MAINTAINER "Quillvane developers <quillvane@example.org>"
    CACHE STRING "Maintainer named in the Debian package and its changelog")
set(quillvane_app_id io.github.quillvane.Quillvane)

# The icon is drawn by a program of the repository, as the cues are.
add_executable(make_icon ${quillvane_packaging}/make_icon.cpp)
target_link_libraries(make_icon PRIVATE quillvane_options)
add_custom_command(OUTPUT ${quillvane_staged}/quillvane.png
  COMMAND ${CMAKE_COMMAND} -E make_directory ${quillvane_staged}
  COMMAND make_icon ${quillvane_staged}/quillvane.png
  DEPENDS make_icon
  COMMENT "Drawing the menu icon")

# Debian wants manual pages and changelogs compressed, reproducibly (-n: no
# name or time stamp inside).
find_program(QUILLVANE_GZIP gzip REQUIRED)
configure_file(${quillvane_packaging}/quillvane.6.in ${quillvane_staged}/quillvane.6 @ONLY)
configure_file(${quillvane_packaging}/changelog.in ${quillvane_staged}/changelog @ONLY)
configure_file(${quillvane_packaging}/${quillvane_app_id}.metainfo.xml.in
               ${quillvane_staged}/${quillvane_app_id}.metainfo.xml @ONLY)
foreach(name quillvane.6 changelog)
  add_custom_command(OUTPUT ${quillvane_staged}/${name}.gz
    COMMAND ${QUILLVANE_GZIP} -9 -n -c ${quillvane_staged}/${name} > ${quillvane_staged}/${name}.gz
    DEPENDS ${quillvane_staged}/${name}
    COMMENT "Compressing ${name}")
endforeach()
add_custom_target(quillvane_desktop_files ALL
  DEPENDS ${quillvane_staged}/quillvane.png ${quillvane_staged}/quillvane.6.gz
          ${quillvane_staged}/changelog.gz)

install(FILES ${quillvane_packaging}/quillvane.desktop DESTINATION share/applications)
install(FILES ${quillvane_staged}/quillvane.png DESTINATION share/icons/hicolor/128x128/apps)
install(FILES ${quillvane_staged}/${quillvane_app_id}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${quillvane_staged}/quillvane.6.gz DESTINATION share/man/man6)
install(FILES ${quillvane_packaging}/copyright ${quillvane_staged}/changelog.gz
        DESTINATION share/doc/quillvane)
install(FILES ${quillvane_packaging}/lintian-overrides DESTINATION share/lintian/overrides
        RENAME quillvane)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillvane)
set(CPACK_PACKAGE_VERSION ${QUILLVANE_VERSION_DEBIAN})
set(CPACK_PACKAGE_VENDOR "Orlick")
set(CPACK_PACKAGE_CONTACT ${QUILLVANE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "puzzle game of discovery, played with the keyboard and heard through speech")
# The extended description, in lines of at most 80 characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Quillvane is a puzzle game made for blind players who use a screen reader."
  "You hold 36 items and combine two at a time to find the game's 290 recipes;"
  "Magic copies an item. Every attempt is a step, and your first makings are"
  "achievements with step records for each difficulty."
  ""
  "Everything the game says is spoken, through speech-dispatcher or the window"
  "title that a screen reader announces, and short sound cues mark what"
  "happens. It plays in a window or in a terminal, and from a key script for"
  "replays and tests.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Files 0644 and folders 0755, whatever the builder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_VERSION ${QUILLVANE_VERSION_DEBIAN})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${QUILLVANE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from dpkg-shlibdeps; the font is opened by name at run
# time, and the voice is the player's choice.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "speech-dispatcher")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
