# The one version number of Zelv, from project() in the root CMakeLists.txt, goes into
# each program's VERSIONINFO resource through common/version.rc.in.

set(ZELV_VERSION_TWEAK 0)
if(NOT "${PROJECT_VERSION_TWEAK}" STREQUAL "")
  set(ZELV_VERSION_TWEAK ${PROJECT_VERSION_TWEAK})
endif()
set(ZELV_VERSION_COMMAS
    "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},${ZELV_VERSION_TWEAK}")

# Adds a VERSIONINFO resource to an executable target, with the given file description.
# The internal and original file names follow the target's output name.
function(zelv_add_version_resource target description)
  get_target_property(ZELV_INTERNAL_NAME ${target} OUTPUT_NAME)
  if(NOT ZELV_INTERNAL_NAME)
    set(ZELV_INTERNAL_NAME ${target})
  endif()
  set(ZELV_FILE_DESCRIPTION "${description}")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/common/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
