# Registers a test executable with CTest. Every test runs headless and with its own empty settings folder, so it
# never reads or writes the real user's settings. Under Wine, the tests find Qt's and the compiler's libraries
# through WINEPATH, and Qt's own variables pass from Linux to the program only with WINE in front of them.
if(WIN32 AND CMAKE_CROSSCOMPILING AND TARGET Qt6::Core)
    include(FerrowynWindowsRuntime)
endif()

function(ferrowyn_add_test name)
    cmake_parse_arguments(arg "" "" "SOURCES;LIBRARIES;ARGUMENTS" ${ARGN})
    add_executable(${name} ${arg_SOURCES})
    target_link_libraries(${name} PRIVATE ${arg_LIBRARIES})
    ferrowyn_warnings(${name})
    set(config_home "${CMAKE_CURRENT_BINARY_DIR}/config-home/${name}")
    add_test(NAME ${name} COMMAND ${name} ${arg_ARGUMENTS})
    set(environment "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${config_home}")
    if(CMAKE_CROSSCOMPILING AND DEFINED FERROWYN_WINE_DLL_PATH)
        # QtTest writes its report to the console only when told to: Wine gives the program none.
        list(APPEND environment "WINEPATH=${FERROWYN_WINE_DLL_PATH}" "WINEQT_QPA_PLATFORM=offscreen"
            "WINEQT_FORCE_STDERR_LOGGING=1")
    endif()
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${environment}")
    if(CMAKE_CROSSCOMPILING)
        # Wine now and then loses a program's exit status and reports success: under Wine a test passes only
        # when its report says every case passed.
        set_tests_properties(${name} PROPERTIES
            PASS_REGULAR_EXPRESSION "\\[  PASSED  \\]|Totals: [0-9]+ passed, 0 failed"
            FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]|FAIL!  :|Totals: [0-9]+ passed, [1-9]")
    endif()
endfunction()
