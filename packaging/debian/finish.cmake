# Run by CPack on the files staged for each package (CPACK_PRE_BUILD_SCRIPTS). For the .deb,
# what Debian asks of a package beyond the installation: compressed manual pages, a
# compressed changelog, a copyright file, and the lintian override for the static programs.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
set(here ${CMAKE_CURRENT_LIST_DIR})
set(usr ${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
set(doc ${usr}/share/doc/${CPACK_PACKAGE_NAME})

# gzip -n: no name or time stamp, so that the package is the same each time it is made.
function(compress file)
  execute_process(COMMAND gzip -9nf ${file} COMMAND_ERROR_IS_FATAL ANY)
endfunction()

file(GLOB pages ${usr}/share/man/man1/*.1)
foreach(page IN LISTS pages)
  compress(${page})
endforeach()

file(STRINGS ${here}/changelog first LIMIT_COUNT 1)
if(NOT first MATCHES "^${CPACK_PACKAGE_NAME} \\(${CPACK_PACKAGE_VERSION}\\) ")
  message(FATAL_ERROR "packaging/debian/changelog does not begin with version "
                      "${CPACK_PACKAGE_VERSION}: add an entry for it")
endif()
file(COPY_FILE ${here}/changelog ${doc}/changelog)
compress(${doc}/changelog)

# The licence in Debian's machine-readable form: the holder from its copyright line, its
# text after that line indented by one blank, empty lines as " .".
file(READ ${CPACK_RESOURCE_FILE_LICENSE} license)
if(NOT license MATCHES "\nCopyright \\(c\\) ([^\n]*)\n\n(.*[^\n])\n*$")
  message(FATAL_ERROR "LICENSE has no copyright line followed by its text")
endif()
set(holder ${CMAKE_MATCH_1})
string(REPLACE "\n\n" "\n.\n" text "${CMAKE_MATCH_2}")
string(REPLACE "\n" "\n " text "${text}")
string(CONCAT copyright "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
              "Upstream-Name: ${CPACK_PACKAGE_NAME}\n\n"
              "Files: *\nCopyright: ${holder}\nLicense: Expat\n ${text}\n")
file(WRITE ${doc}/copyright "${copyright}")

file(MAKE_DIRECTORY ${usr}/share/lintian/overrides)
file(COPY_FILE ${here}/lintian-overrides ${usr}/share/lintian/overrides/${CPACK_PACKAGE_NAME})
