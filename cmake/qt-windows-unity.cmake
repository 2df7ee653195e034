# Read by Qt's own configure in scripts/build-qt-windows (as CMAKE_PROJECT_QtBase_INCLUDE): Qt's libraries and the
# two platform plugins are compiled eight sources at a time (CMake's unity build), so that the compiler runs far
# fewer times. Qt 6.4 was not written for that: the sources below are compiled on their own, because beside their
# neighbours the compiler refuses them, or they would change what the sources after them mean. The Vista style
# plugin is left as it is: its two sources share helper names, and it is three compiler runs.
set(ferrowyn_unity_targets Core Gui Widgets Test QWindowsIntegrationPlugin QOffscreenIntegrationPlugin)
set(ferrowyn_unity_alone
    # A macro that has to come before Qt's headers, which the sources before it have already read.
    Core:compat/removed_api.cpp Widgets:compat/removed_api.cpp Gui:image/qpixmapcache.cpp
    # Macros they define or undefine for themselves, which would hold in the sources after them too: qDebug,
    # qFatal, Q_ASSERT, NDEBUG, tr, decode.
    Core:global/qglobal.cpp Core:global/qlogging.cpp Core:global/qrandom.cpp Core:io/qdebug.cpp
    Core:io/qfile.cpp Core:io/qfiledevice.cpp Core:io/qtemporaryfile.cpp Core:io/qurlquery.cpp
    # TinyCBOR, included with other settings in each.
    Core:serialization/qcborcommon.cpp Core:serialization/qcborstreamreader.cpp
    Core:serialization/qcborstreamwriter.cpp
    # Windows' headers, read by a source before it, define IN, a name of its own.
    Core:text/qunicodetools.cpp
    # Names of their own (file-local helpers and types, a plugin loader, default arguments) that another source of
    # the same library declares too.
    Core:kernel/qmetaobjectbuilder.cpp Core:text/qlocale.cpp Core:text/qstringconverter.cpp
    Core:tools/qcryptographichash.cpp
    Gui:image/qimagereaderwriterhelpers.cpp Gui:kernel/qgenericpluginfactory.cpp
    Gui:kernel/qplatforminputcontextfactory.cpp Gui:kernel/qplatformintegrationfactory.cpp
    Gui:kernel/qplatformthemefactory.cpp Gui:kernel/qwindowsysteminterface.cpp Gui:painting/qpathsimplifier.cpp
    Gui:text/windows/qwindowsfontdatabase.cpp Gui:text/windows/qwindowsfontengine.cpp Gui:util/qpkmhandler.cpp
    Widgets:widgets/qplaintextedit.cpp Test:qteamcitylogger.cpp QWindowsIntegrationPlugin:qwindowspointerhandler.cpp
    # A file-local childWidgets() that another source's declaration of the shared one would quietly bind to.
    Widgets:accessible/qaccessiblewidget.cpp
    # Compiled alone by later Qt versions too: MinGW's compiler warns wrongly of freeing a non-heap object.
    Core:tools/qshareddata.cpp)

# Run once every target is defined, at the end of Qt's top-level CMakeLists.txt.
function(ferrowyn_qt_unity_build)
    foreach(target ${ferrowyn_unity_targets})
        set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
    endforeach()
    foreach(entry ${ferrowyn_unity_alone})
        string(REPLACE ":" ";" entry ${entry})
        list(GET entry 0 target)
        list(GET entry 1 file)
        get_target_property(folder ${target} SOURCE_DIR)
        if(NOT EXISTS ${folder}/${file})
            message(FATAL_ERROR "qt-windows-unity.cmake: ${target} has no ${file} (another Qt version?)")
        endif()
        set_source_files_properties(${folder}/${file} TARGET_DIRECTORY ${target}
            PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
    endforeach()
endfunction()
cmake_language(DEFER CALL ferrowyn_qt_unity_build)
