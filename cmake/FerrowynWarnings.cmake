# Project targets compile warning-clean; third-party code (GoogleTest) keeps its own flags.
function(ferrowyn_warnings target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4 /permissive-)
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    endif()
endfunction()
