# The one version (project() in the top-level file) as a header for the
# programs and the Windows resource scripts: portico_version.h, from the
# target portico_version.
configure_file(${CMAKE_CURRENT_LIST_DIR}/portico_version.h.in
               ${PROJECT_BINARY_DIR}/generated/portico_version.h @ONLY)
add_library(portico_version INTERFACE)
target_include_directories(portico_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
