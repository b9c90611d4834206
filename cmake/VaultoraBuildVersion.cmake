# The application's version texts come from the build: the short version is the project
# version, the build version the commit the sources were built from. A header with both is
# written at every build and replaced only when one of them changed, so a new commit is picked
# up without a fresh configure and an unchanged one rebuilds nothing.
set(VAULTORA_BUILD_VERSION_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/WriteBuildVersion.cmake)

# Gives the target the header "BuildVersion.h" (namespace BuildVersion: shortVersion,
# buildVersion) on a private include path.
function(vaultora_build_version target)
  set(directory ${CMAKE_CURRENT_BINARY_DIR}/${target}_build_version)
  set(header ${directory}/BuildVersion.h)
  add_custom_target(${target}_build_version
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DOUTPUT=${header}
            -DSHORT_VERSION=${PROJECT_VERSION} -P ${VAULTORA_BUILD_VERSION_SCRIPT}
    BYPRODUCTS ${header}
    COMMENT "Build version of ${target}"
    VERBATIM)
  add_dependencies(${target} ${target}_build_version)
  target_include_directories(${target} PRIVATE ${directory})
endfunction()
