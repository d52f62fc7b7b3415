# The one version number of Zelv, from project() in the root CMakeLists.txt, goes into
# each program's VERSIONINFO resource through common/version.rc.in, beside the one
# application manifest of both programs, common/zelv.manifest.

set(ZELV_VERSION_TWEAK 0)
if(NOT "${PROJECT_VERSION_TWEAK}" STREQUAL "")
  set(ZELV_VERSION_TWEAK ${PROJECT_VERSION_TWEAK})
endif()
set(ZELV_VERSION_COMMAS
    "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},${ZELV_VERSION_TWEAK}")

set(ZELV_MANIFEST_FILE ${PROJECT_SOURCE_DIR}/common/zelv.manifest)

# Adds a VERSIONINFO resource and the application manifest to an executable target, with
# the given file description. The internal and original file names follow the target's
# output name.
function(zelv_add_version_resource target description)
  get_target_property(ZELV_INTERNAL_NAME ${target} OUTPUT_NAME)
  if(NOT ZELV_INTERNAL_NAME)
    set(ZELV_INTERNAL_NAME ${target})
  endif()
  set(ZELV_FILE_DESCRIPTION "${description}")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/common/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  # The resource compiler reads the manifest; CMake does not know that on its own.
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${ZELV_MANIFEST_FILE})
  # MSYS2's GCC also links a default manifest of neutral language; GNU ld drops that one
  # for ours (tried with binutils 2.40). MSVC's linker makes and embeds a manifest of its
  # own unless told not to, and a second resource 1 of type 24 fails the link (CVT1100).
  if(MSVC)
    target_link_options(${target} PRIVATE /MANIFEST:NO)
  endif()
endfunction()
