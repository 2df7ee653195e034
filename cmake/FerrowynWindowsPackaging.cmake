# Ferrowyn for Windows: the program and exactly what it needs beside it, as a setup program made with NSIS
# (`make package-windows`: Ferrowyn-<version>-win64-setup.exe) and as a portable zip.
#
# The setup program installs for the whole machine, into Program Files (it asks for administrator rights), with
# a Start menu entry, an "Obliterate with Ferrowyn" entry in every file's context menu, an uninstaller and an entry
# in "Apps and features". It and the uninstaller wait for a running Ferrowyn to be closed. What it adds to CPack's
# own script is in ferrowyn-setup.nsh.in.
include(FerrowynWindowsRuntime)

install(TARGETS ferrowyn RUNTIME DESTINATION .)
install(DIRECTORY ${FERROWYN_RUNTIME_DIR}/ DESTINATION .)

set(CPACK_GENERATOR NSIS ZIP)
# The values reach CPack exactly as written here, quotes included.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME Ferrowyn)
set(CPACK_PACKAGE_VENDOR Kelditch)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Overwrites a file with spaces, then deletes it")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Ferrowyn)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Ferrowyn)
set(CPACK_PACKAGE_FILE_NAME Ferrowyn-${PROJECT_VERSION}-win64)
set(CPACK_STRIP_FILES ON)

set(CPACK_NSIS_PACKAGE_NAME Ferrowyn)
set(CPACK_NSIS_DISPLAY_NAME Ferrowyn)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/resources/ferrowyn.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/resources/ferrowyn.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME Ferrowyn.exe)
set(CPACK_NSIS_CONTACT ${FERROWYN_SUPPORT_ADDRESS})
set(CPACK_NSIS_MODIFY_PATH OFF)
# Ferrowyn has no licence text to agree to: no licence page.
set(CPACK_NSIS_IGNORE_LICENSE_PAGE ON)

configure_file(${CMAKE_CURRENT_LIST_DIR}/ferrowyn-setup.nsh.in ${PROJECT_BINARY_DIR}/ferrowyn-setup.nsh @ONLY)
set(CPACK_NSIS_DEFINES "!include \"${PROJECT_BINARY_DIR}/ferrowyn-setup.nsh\"")
# The Start menu entry "Ferrowyn" starts $INSTDIR\Ferrowyn.exe (CPACK_PACKAGE_EXECUTABLES would look in bin\).
set(CPACK_NSIS_CREATE_ICONS_EXTRA "!insertmacro FerrowynCreateStartMenuEntry")
set(CPACK_NSIS_DELETE_ICONS_EXTRA
    "!insertmacro FerrowynDeleteStartMenuEntry\n!insertmacro FerrowynDeleteVendorKey")
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS
    "!insertmacro FerrowynCompleteUninstallEntry\n!insertmacro FerrowynAddContextMenuEntry")
# The uninstaller works from its temporary folder, so that the install folder can go while it runs.
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS
    "Call un.FerrowynWaitUntilClosed\n!insertmacro FerrowynRemoveContextMenuEntry\nSetOutPath \"$TEMP\"")
# The setup program is named as a Windows user expects; the zip keeps the plain name.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/FerrowynCPackNames.cmake)
include(CPack)
