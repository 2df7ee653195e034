# Installing and packaging the program. On Linux the binary, its desktop entry, its icons in the hicolor theme, its
# AppStream metainfo, the file managers' context menu entries, its manual page, copyright file and changelog,
# following the freedesktop and Debian conventions; `make package` builds a .deb of them.
include(GNUInstallDirs)

set(FERROWYN_HOMEPAGE "https://ferrowyn.example" CACHE STRING "The project's homepage, named in the metainfo")
# The day this version was released, in the metainfo and the manual page.
set(FERROWYN_RELEASE_DATE 2026-12-06)

if(WIN32)
    include(FerrowynWindowsPackaging)
    return()
endif()
install(TARGETS ferrowyn RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(resources ${PROJECT_SOURCE_DIR}/resources)
install(FILES ${resources}/ferrowyn.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32)
    install(FILES ${resources}/ferrowyn-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ferrowyn.png)
endforeach()
configure_file(${resources}/org.ferrowyn.Ferrowyn.metainfo.xml.in
    ${PROJECT_BINARY_DIR}/org.ferrowyn.Ferrowyn.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/org.ferrowyn.Ferrowyn.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# "Obliterate with Ferrowyn" in the file managers' own context menus, where each looks for it for the whole system:
# Dolphin's service menus, Nemo's actions and the nautilus-python extensions (Thunar's are per user: see README).
set(menus ${resources}/file-managers)
install(FILES ${menus}/ferrowyn-obliterate.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/kio/servicemenus)
install(FILES ${menus}/ferrowyn-obliterate.nemo_action DESTINATION ${CMAKE_INSTALL_DATADIR}/nemo/actions)
install(FILES ${menus}/ferrowyn_obliterate.py DESTINATION ${CMAKE_INSTALL_DATADIR}/nautilus-python/extensions)

# The manual page, the copyright file and the changelog, where Debian wants them. Compressed with gzip -9n: no
# name and no time in the header, so that the same sources make the same package.
function(ferrowyn_gzipped source target)
    execute_process(COMMAND gzip -9nc ${source} OUTPUT_FILE ${target} COMMAND_ERROR_IS_FATAL ANY)
endfunction()
configure_file(${resources}/ferrowyn.1.in ${PROJECT_BINARY_DIR}/ferrowyn.1 @ONLY)
ferrowyn_gzipped(${PROJECT_BINARY_DIR}/ferrowyn.1 ${PROJECT_BINARY_DIR}/ferrowyn.1.gz)
install(FILES ${PROJECT_BINARY_DIR}/ferrowyn.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# A package of its own upstream's (a version without a Debian revision) keeps its changelog as changelog.gz.
configure_file(${resources}/debian/changelog.in ${PROJECT_BINARY_DIR}/changelog @ONLY)
ferrowyn_gzipped(${PROJECT_BINARY_DIR}/changelog ${PROJECT_BINARY_DIR}/changelog.gz)
configure_file(${resources}/debian/copyright.in ${PROJECT_BINARY_DIR}/copyright @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/changelog.gz ${PROJECT_BINARY_DIR}/copyright
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/ferrowyn)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ferrowyn)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Kelditch)
set(CPACK_PACKAGE_CONTACT "Ferrowyn support <${FERROWYN_SUPPORT_ADDRESS}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "overwrite a file with spaces, then delete it")
set(CPACK_PACKAGE_DESCRIPTION "Ferrowyn destroys one chosen file: it overwrites the file in place with blocks
of spaces, shows the progress in percent, pushes the spaces to the storage
device and deletes the file. A small window with drive, folder and file lists.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Nautilus runs the context menu's extension only through nautilus-python.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS python3-nautilus)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
include(CPack)
