# What Ferrowyn.exe needs beside it on Windows: Qt's libraries and the two plugins it loads (the Windows platform
# and the Vista style), and the MinGW runtime that Qt's libraries link to. `ferrowyn_windows_runtime` copies them,
# stripped, into ${FERROWYN_RUNTIME_DIR}, the folder that is installed beside the program, and
# ${FERROWYN_WINE_DLL_PATH} names the folders the tests find them in under Wine.
#
# Packaging and the tests both include this module, in either order: it runs once, and its two results are
# visible everywhere.
include_guard(GLOBAL)
set(FERROWYN_RUNTIME_DIR ${CMAKE_BINARY_DIR}/runtime CACHE INTERNAL "Ferrowyn.exe's DLLs and plugins, to install")

get_target_property(qt_core_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
get_filename_component(FERROWYN_QT_BIN_DIR ${qt_core_dll} DIRECTORY)
get_filename_component(qt_prefix ${FERROWYN_QT_BIN_DIR} DIRECTORY)

set(runtime_files)
foreach(name libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${name}
        OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(found ${found} REALPATH)
    list(APPEND runtime_files "${found}|${name}")
endforeach()
foreach(module Core Gui Widgets)
    list(APPEND runtime_files "${FERROWYN_QT_BIN_DIR}/Qt6${module}.dll|Qt6${module}.dll")
endforeach()
list(APPEND runtime_files
    "${qt_prefix}/plugins/platforms/qwindows.dll|platforms/qwindows.dll"
    "${qt_prefix}/plugins/styles/qwindowsvistastyle.dll|styles/qwindowsvistastyle.dll")

# Where the tests find the same libraries under Wine, unstripped: Qt's own folder and the compiler's.
set(wine_dirs ${FERROWYN_QT_BIN_DIR})
set(copies)
foreach(entry ${runtime_files})
    string(REPLACE "|" ";" entry ${entry})
    list(GET entry 0 source)
    list(GET entry 1 target)
    if(NOT EXISTS ${source})
        message(FATAL_ERROR "The Windows program needs ${source}, which is not there")
    endif()
    get_filename_component(source_dir ${source} DIRECTORY)
    if(target MATCHES "^lib")
        list(APPEND wine_dirs ${source_dir})
    endif()
    add_custom_command(OUTPUT ${FERROWYN_RUNTIME_DIR}/${target}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${FERROWYN_RUNTIME_DIR}/platforms ${FERROWYN_RUNTIME_DIR}/styles
        COMMAND ${CMAKE_STRIP} --strip-unneeded -o ${FERROWYN_RUNTIME_DIR}/${target} ${source}
        DEPENDS ${source} VERBATIM)
    list(APPEND copies ${FERROWYN_RUNTIME_DIR}/${target})
endforeach()
list(REMOVE_DUPLICATES wine_dirs)
list(TRANSFORM wine_dirs PREPEND "Z:")
string(JOIN "\\;" wine_dll_path ${wine_dirs})
set(FERROWYN_WINE_DLL_PATH "${wine_dll_path}" CACHE INTERNAL "The runtime's folders as WINEPATH")
add_custom_target(ferrowyn_windows_runtime ALL DEPENDS ${copies})
