# The Debian package: `cpack -G DEB` in a build folder. It installs for
# everyone under /usr; the game then finds its own folder read-only and keeps
# each player's files in that player's data folder.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/changelog changelog_top LIMIT_COUNT 1)
if(NOT changelog_top MATCHES "^kolrin \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog starts with \"${changelog_top}\", "
                      "not with version ${PROJECT_VERSION}")
endif()
# -n, as for the manual pages.
execute_process(COMMAND ${KOLRIN_GZIP} -9nc ${CMAKE_CURRENT_LIST_DIR}/changelog
                OUTPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz COMMAND_ERROR_IS_FATAL ANY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/changelog)
set(KOLRIN_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/kolrin)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
        DESTINATION ${KOLRIN_DOC_DIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME kolrin)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kolrin)
set(CPACK_PACKAGE_VENDOR "The Kolrin authors")
set(CPACK_PACKAGE_CONTACT "Kolrin developers <kolrin@ruzo.example.jp>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "typing game for Japanese players")
set(CPACK_PACKAGE_DESCRIPTION "A prompt, three capital letters or a kana word, is drawn in huge
letters on a field that climbs towards the top of the window. Type its
romaji before the field gets there: every finished prompt sends the field
back down and makes it climb faster. Results are kept per player, with a
ranking and a chart of progress. The texts of the game are in Japanese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Not "games": Debian keeps those launchers in /usr/games, and this one is in
# /usr/bin like any program a player starts by name.
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://ruzo.example.jp/)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# dpkg-shlibdeps names the libraries the program links, Qt's X11 platform
# plugin among them (libqt6gui6 ships it). It cannot see the font the game
# draws with, nor the SQLite driver Qt SQL loads by name for the game database; Qt's Japanese button texts are welcome but not needed, and so is
# its Wayland plugin, without which a Wayland desktop runs the game through X.
# Qt SQL's PostgreSQL driver is loaded by name too, and only for a class
# server: a game without one never needs it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, libqt6sql6-sqlite")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, qt6-wayland, libqt6sql6-psql")
include(CPack)
