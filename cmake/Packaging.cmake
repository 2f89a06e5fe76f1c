# The documents an installation carries, and the packages CPack makes of it: a .deb and a
# .tar.gz on Linux, a .zip on Windows.

set(CONSOLE_PACKAGE console-programs)

if(WIN32)
  # Beside the programs, as a Windows user opens them: .txt, with Windows line ends.
  configure_file(README.md ${PROJECT_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)
  configure_file(LICENSE ${PROJECT_BINARY_DIR}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${PROJECT_BINARY_DIR}/README.txt ${PROJECT_BINARY_DIR}/LICENSE.txt DESTINATION .)
else()
  install(FILES README.md LICENSE DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${CONSOLE_PACKAGE})
endif()

set(CPACK_PACKAGE_NAME ${CONSOLE_PACKAGE})
set(CPACK_PACKAGE_VENDOR "The console programs authors")
set(CPACK_PACKAGE_CONTACT "Console programs maintainers <maintainers@console-programs.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small console programs for data in fixed layouts")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Five programs that each read one batch of data from standard input in a\n"
       "fixed layout and write one result in a fixed layout: meanboard ranks ten\n"
       "entrants by their mean mark, crestgrid lists the tops of a grid of heights,\n"
       "helixmate and helixmate-stream print complementary DNA strands, and\n"
       "admitlist admits the patients whose rating reaches a threshold. Input that\n"
       "breaks a layout is refused with one line on standard error.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR DEB TGZ)
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Statically linked programs depend on no shared library.
if(NOT CONSOLE_STATIC)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/debian/finish.cmake)

include(CPack)
