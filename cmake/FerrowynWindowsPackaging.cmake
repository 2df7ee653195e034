# Ferrowyn for Windows: the program and exactly what it needs beside it, as a setup program made with NSIS
# (`make package-windows`: Ferrowyn-<version>-win64-setup.exe) and as a portable zip.
#
# The setup program installs for the whole machine, into Program Files (it asks for administrator rights), with
# a Start menu entry, an uninstaller and an entry in "Apps and features".
include(FerrowynWindowsRuntime)

install(TARGETS ferrowyn RUNTIME DESTINATION .)
install(DIRECTORY ${FERROWYN_RUNTIME_DIR}/ DESTINATION .)

set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_NAME Ferrowyn)
set(CPACK_PACKAGE_VENDOR Kelditch)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Overwrites a file with spaces, then deletes it")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Ferrowyn)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Ferrowyn)
set(CPACK_PACKAGE_FILE_NAME Ferrowyn-${PROJECT_VERSION}-win64)
set(CPACK_STRIP_FILES ON)
# A Start menu entry "Ferrowyn" for Ferrowyn.exe.
set(CPACK_PACKAGE_EXECUTABLES Ferrowyn Ferrowyn)

set(CPACK_NSIS_PACKAGE_NAME Ferrowyn)
set(CPACK_NSIS_DISPLAY_NAME Ferrowyn)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/resources/ferrowyn.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/resources/ferrowyn.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME Ferrowyn.exe)
set(CPACK_NSIS_CONTACT ${FERROWYN_SUPPORT_ADDRESS})
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MODIFY_PATH OFF)
# A 64-bit setup program for the 64-bit program: it sees the 64-bit Program Files and registry as they are, and
# runs where 32-bit programs cannot.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
# The setup program is named as a Windows user expects; the zip keeps the plain name.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/FerrowynCPackNames.cmake)
include(CPack)
