# Install rules and the Debian package (CPack DEB) of the window, netvora-cli and
# printer-sim, with the desktop entry, the icon, the man pages and the documentation.
include(GNUInstallDirs)

install(TARGETS netvora netvora-cli printer-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES packaging/netvora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The application icon: the scalable SVG, and a 48x48 PNG rendered from it for menus that
# take no SVG.
find_program(NETVORA_RSVG_CONVERT rsvg-convert REQUIRED)
set(netvora_icon_svg ${PROJECT_SOURCE_DIR}/res/icons/application.svg)
set(netvora_icon_png ${PROJECT_BINARY_DIR}/packaging/netvora-48.png)
add_custom_command(OUTPUT ${netvora_icon_png}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
  COMMAND ${NETVORA_RSVG_CONVERT} --width 48 --height 48 --keep-aspect-ratio
          --output ${netvora_icon_png} ${netvora_icon_svg}
  DEPENDS ${netvora_icon_svg}
  COMMENT "Rendering the 48x48 application icon")
install(FILES ${netvora_icon_svg} RENAME netvora.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${netvora_icon_png} RENAME netvora.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps)

# Man pages: the version filled in, compressed reproducibly (no name or time stamp).
set(netvora_man_pages)
foreach(program netvora netvora-cli printer-sim)
  set(page ${PROJECT_BINARY_DIR}/packaging/${program}.1)
  configure_file(docs/man/${program}.1 ${page} @ONLY)
  add_custom_command(OUTPUT ${page}.gz
    COMMAND gzip -9 -n -c ${page} > ${page}.gz
    DEPENDS ${page}
    COMMENT "Compressing the man page ${program}(1)")
  list(APPEND netvora_man_pages ${page}.gz)
endforeach()
install(FILES ${netvora_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(NETVORA_MAINTAINER "Netvora developers <netvora@example.org>"
  CACHE STRING "Maintainer field of the Debian package")

# The package's changelog entry for this version, dated when the build is configured (or at
# SOURCE_DATE_EPOCH, for reproducible packages).
string(TIMESTAMP NETVORA_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(netvora_changelog ${PROJECT_BINARY_DIR}/packaging/changelog)
configure_file(packaging/changelog.in ${netvora_changelog} @ONLY)
add_custom_command(OUTPUT ${netvora_changelog}.gz
  COMMAND gzip -9 -n -c ${netvora_changelog} > ${netvora_changelog}.gz
  DEPENDS ${netvora_changelog}
  COMMENT "Compressing the package's changelog")

add_custom_target(netvora_package_files ALL
  DEPENDS ${netvora_icon_png} ${netvora_man_pages} ${netvora_changelog}.gz)

install(FILES README.md packaging/copyright ${netvora_changelog}.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME netvora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${NETVORA_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "set up the network interfaces of Ethernet printers")
# The long description's lines; CPack indents them and marks the empty line as a paragraph
# break.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Netvora finds the Ethernet printer interfaces in the local network (a binary
configuration protocol on UDP port 50005 and a text protocol on UDP port
27700), shows and stores their IP address, subnet mask, gateway, print port
and DHCP switch, downloads firmware into them and prints a test page.

The package holds the window (netvora), a command-line tool for scripts
(netvora-cli) and a printer simulator for tests and demonstrations
(printer-sim).")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
