# The release packages, both from the install rules below (scripts/package builds them):
#   zelv-<version>-win64.zip        both programs side by side in a folder named Zelv, with
#                                   an example configuration, a quick guide, the license
#                                   and the example page; unpacking a newer zip over it
#                                   keeps the player's configuration;
#   zelv-<version>-win64-setup.exe  the same files as a per-user setup program (NSIS, our
#                                   own template in cmake/nsis/), which also writes the
#                                   configuration and the shortcuts.

# Notepad before Windows 10 1809 shows LF-only files as one line; the player edits these.
set(ZELV_RELEASE_TEXT_DIR ${CMAKE_BINARY_DIR}/release-text)
configure_file(${PROJECT_SOURCE_DIR}/release/QUICKSTART.txt.in
               ${ZELV_RELEASE_TEXT_DIR}/QUICKSTART.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/release/launcher-config.example.json
               ${ZELV_RELEASE_TEXT_DIR}/launcher-config.example.json @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${ZELV_RELEASE_TEXT_DIR}/LICENSE.txt
               NEWLINE_STYLE CRLF)

install(TARGETS kovrin ZelvListener RUNTIME DESTINATION .)
install(FILES
  ${ZELV_RELEASE_TEXT_DIR}/QUICKSTART.txt
  ${ZELV_RELEASE_TEXT_DIR}/launcher-config.example.json
  ${ZELV_RELEASE_TEXT_DIR}/LICENSE.txt
  DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/examples/lobby.html DESTINATION examples)
install(FILES ${PROJECT_SOURCE_DIR}/web/zelv.js ${PROJECT_SOURCE_DIR}/web/zelv.d.ts DESTINATION web)

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME zelv)
set(CPACK_PACKAGE_VENDOR "The Zelv developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The file names, with the version, and the zip's top folder are set per generator.
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/ZelvPackageNames.cmake)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
# The symbol tables are of no use to a player and make up most of each file.
set(CPACK_STRIP_FILES ON)

# CMake's own NSIS template asks for administrator rights and installs into Program Files;
# ours installs for the player alone (cmake/nsis/NSIS.template.in).
set(CPACK_MODULE_PATH ${PROJECT_SOURCE_DIR}/cmake/nsis)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/listener/zelv.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/listener/zelv.ico)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
include(CPack)
