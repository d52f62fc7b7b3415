# Read by cpack once per generator (CPACK_PROJECT_CONFIG_FILE), after `cpack -R <version>`
# has had its say: the package file names carry the version, the zip's top folder does
# not, so that a newer zip unpacked over an older one keeps the player's configuration.
if(CPACK_GENERATOR STREQUAL "ZIP")
  set(CPACK_PACKAGE_FILE_NAME "zelv-${CPACK_PACKAGE_VERSION}-win64")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_PACKAGING_INSTALL_PREFIX "/Zelv")
elseif(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME "zelv-${CPACK_PACKAGE_VERSION}-win64-setup")
endif()
