# qv-flash-<version>-win64.zip: the programs with a README written for a Windows technician
# and the licences beside them, as text files that Windows opens (CRLF line ends).

configure_file(${CMAKE_CURRENT_SOURCE_DIR}/windows/README.txt ${CMAKE_CURRENT_BINARY_DIR}/README.txt
               @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt
               @ONLY NEWLINE_STYLE CRLF)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/cli11-notice.txt
               ${CMAKE_CURRENT_BINARY_DIR}/CLI11-LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/json-notice.txt
               ${CMAKE_CURRENT_BINARY_DIR}/JSON-LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt
              ${CMAKE_CURRENT_BINARY_DIR}/CLI11-LICENSE.txt
              ${CMAKE_CURRENT_BINARY_DIR}/JSON-LICENSE.txt
        DESTINATION ${CMAKE_INSTALL_BINDIR})

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME qv-flash)
set(CPACK_PACKAGE_FILE_NAME qv-flash-${PROJECT_VERSION}-win64)

# qv-updater-<version>-setup.exe is made by scripts/package with NSIS from the zip's files
# (windows/setup.nsi); what it takes from the project comes from here.
get_property(QV_WINDOWS_ICON GLOBAL PROPERTY QV_WINDOWS_ICON)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/windows/setup-config.nsh.in
               ${CMAKE_CURRENT_BINARY_DIR}/setup-config.nsh @ONLY)
