# qv-flash-<version>-win64.zip: qv-flash.exe with the README and the licences beside it, as
# text files that Windows opens (CRLF line ends).

configure_file(${PROJECT_SOURCE_DIR}/README.md ${CMAKE_CURRENT_BINARY_DIR}/README.txt
               @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt
               @ONLY NEWLINE_STYLE CRLF)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/cli11-notice.txt
               ${CMAKE_CURRENT_BINARY_DIR}/CLI11-LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt
              ${CMAKE_CURRENT_BINARY_DIR}/CLI11-LICENSE.txt
        DESTINATION ${CMAKE_INSTALL_BINDIR})

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME qv-flash)
set(CPACK_PACKAGE_FILE_NAME qv-flash-${PROJECT_VERSION}-win64)
