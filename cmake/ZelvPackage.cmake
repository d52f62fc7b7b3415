# The release zip, zelv-<version>-win64.zip: both programs side by side at the top of its
# folder, with an example configuration, a quick guide, the license and the example page.
# scripts/package builds it with cpack.

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

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME zelv)
set(CPACK_PACKAGE_VENDOR "The Zelv developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME zelv-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
# The symbol tables are of no use to a player and make up most of each file.
set(CPACK_STRIP_FILES ON)
include(CPack)
