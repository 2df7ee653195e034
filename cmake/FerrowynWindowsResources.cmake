# Ferrowyn.exe's resources: its icon, its version record (from the project's version) and its application manifest,
# compiled from resources/ferrowyn.rc.in.
function(ferrowyn_add_windows_resources target)
    set(resources ${PROJECT_SOURCE_DIR}/resources)
    set(script ${PROJECT_BINARY_DIR}/ferrowyn.rc)
    configure_file(${resources}/ferrowyn.rc.in ${script} @ONLY)
    # The resource compiler reads the icon and the manifest too: a change to either builds the program again.
    set_source_files_properties(${script} PROPERTIES
        OBJECT_DEPENDS "${resources}/ferrowyn.ico;${resources}/ferrowyn.manifest")
    target_sources(${target} PRIVATE ${script})
endfunction()
