# Registers a test executable with CTest. Every test runs headless and with its own empty settings folder, so it
# never reads or writes the real user's settings.
function(ferrowyn_add_test name)
    cmake_parse_arguments(arg "" "" "SOURCES;LIBRARIES" ${ARGN})
    add_executable(${name} ${arg_SOURCES})
    target_link_libraries(${name} PRIVATE ${arg_LIBRARIES})
    ferrowyn_warnings(${name})
    set(config_home "${CMAKE_CURRENT_BINARY_DIR}/config-home/${name}")
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${config_home}")
endfunction()
