# Installing and packaging the program. On Linux the binary, its desktop entry, its icons in the hicolor theme, its
# AppStream metainfo and the file managers' context menu entries, following the freedesktop conventions;
# `make package` builds a .deb of them.
include(GNUInstallDirs)

set(FERROWYN_HOMEPAGE "https://ferrowyn.example" CACHE STRING "The project's homepage, named in the metainfo")

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
