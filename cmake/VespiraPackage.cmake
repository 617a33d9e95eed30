# What `cmake --install` puts where, and the Debian package `cpack -G DEB` makes of it (run
# from the build folder).
#   bin/vespira-html, bin/vespira                 the program and the command-line tool
#   libexec/vespira-html/vespira-html-start       what the desktop entry starts: the program in
#                                                 the per-user data folder
#   libexec/vespira-html/vespira-index            what `vespira index` runs
#   share/applications/, share/icons/, share/metainfo/   desktop entry, icon, AppStream data
#   share/vespira-html/                           the manual and the default web address file,
#                                                 which the program copies into its program folder
install(TARGETS vespira-html vespira RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS vespira-index RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/vespira-html)
install(FILES ${PROJECT_BINARY_DIR}/Vespira_HTML_Light.pdf ${PROJECT_SOURCE_DIR}/resources/Adressen_Webseiten.txt
    DESTINATION ${CMAKE_INSTALL_DATADIR}/vespira-html)
install(FILES ${PROJECT_SOURCE_DIR}/resources/vespira-html.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/resources/de.korvane.vespira_html.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

file(RELATIVE_PATH VESPIRA_LAUNCHER_TO_BIN
    ${CMAKE_INSTALL_FULL_LIBEXECDIR}/vespira-html ${CMAKE_INSTALL_FULL_BINDIR})
configure_file(${PROJECT_SOURCE_DIR}/resources/vespira-html-start.in
    ${PROJECT_BINARY_DIR}/vespira-html-start @ONLY)
install(PROGRAMS ${PROJECT_BINARY_DIR}/vespira-html-start DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/vespira-html)

# The desktop entry names the launcher by its absolute path, and the prefix is only certain
# at install time (`cmake --install --prefix`, cpack).
install(CODE "
    set(VESPIRA_LAUNCHER \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBEXECDIR}/vespira-html/vespira-html-start\")
    configure_file(\"${PROJECT_SOURCE_DIR}/resources/vespira-html.desktop.in\"
                   \"${PROJECT_BINARY_DIR}/vespira-html.desktop\" @ONLY)")
install(FILES ${PROJECT_BINARY_DIR}/vespira-html.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vespira-html)
set(CPACK_PACKAGE_VENDOR Korvane)
set(CPACK_PACKAGE_CONTACT Korvane)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Die Suchmaschine für HTML-Dokumente")
set(CPACK_PACKAGE_DESCRIPTION
    "Volltextsuche in Sammlungen von HTML-, MHT- und EML-Dokumenten, mit deutscher Oberfläche: \
vespira-html sucht in Datenbanken, die das Werkzeug vespira aus Ordnern von Dokumenten baut, \
und zeigt die Treffer als HTML-Seiten im Webbrowser.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the platform plugins that draw the
# windows, and the SVG support for the icon.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
include(CPack)
