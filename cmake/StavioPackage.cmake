# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package: `cpack -G DEB` (or plain `cpack`) in the build folder writes
# stavio_<version>_<arch>.deb from the same install rules as cmake --install.

# Debian wants a copyright file and a changelog in /usr/share/doc/<package>.
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog @ONLY)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${PROJECT_BINARY_DIR}/packaging/changelog
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/stavio)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME stavio)
set(CPACK_PACKAGE_VENDOR KELVO)
set(CPACK_PACKAGE_CONTACT "KELVO <support@stavio.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# The long description: Debian wants lines of at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "Stavio builds the Copy List (player folders and the MP3 files to place in
them) and the Delete List (files to remove from the player) of a portable MP3
player, with DOS 8.3 short names, keeps them in project files (*.scp), and
renders a project: it writes the player's script SYSTEM/SCRIPT.TXT and copies
the MP3 files into numbered folders on the player.

The package holds the Stavio window, with its interface in English, French,
Spanish, German and Italian, and the stavio-cli command-line tool, which
applies the same name rules and renders projects without a window.")
# Programs without their debugging sections (lintian refuses unstripped ones): 0.8 MB instead
# of 22 MB from a RelWithDebInfo build.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PROJECT_HOMEPAGE_URL}")
# The library packages the programs need, as dpkg-shlibdeps (dpkg-dev) finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(STAVIO_BUILD_GUI)
  # The window's icons are SVG: Qt draws them through the plugins of libqt6svg6, which the
  # program loads at run time and so does not link.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6 (>= 6.2)")
  # Qt's own texts (file dialogs, edit menus) in the desktop's language; without them the
  # program works, in English there.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
endif()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Compresses the manual pages and the changelog in the package tree, as Debian wants them.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/CompressDocs.cmake)

include(CPack)
