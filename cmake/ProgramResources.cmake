# The resources every program of ours carries besides its own .rc: a version resource and an
# application manifest, both made from the one version number of the top-level project().
function(qvl_program_resources target description)
    set(QVL_PROGRAM_NAME ${target})
    set(QVL_PROGRAM_FILE ${target}.exe)
    set(QVL_PROGRAM_DESCRIPTION "${description}")
    set(QVL_VERSION_QUAD "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
    set(QVL_VERSION_COMMAS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
    set(QVL_PROGRAM_MANIFEST "${CMAKE_CURRENT_BINARY_DIR}/${target}.exe.manifest")
    configure_file(${PROJECT_SOURCE_DIR}/cmake/program.manifest.in ${QVL_PROGRAM_MANIFEST} @ONLY)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/program_version.rc.in
                   ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc @ONLY)
    target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
    # The .rc names the manifest; a changed manifest has to rebuild it.
    set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc PROPERTIES
                                OBJECT_DEPENDS ${QVL_PROGRAM_MANIFEST})
endfunction()
