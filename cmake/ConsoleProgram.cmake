# How the project's targets are built, and add_console_program, the one step to add a program.

include(CheckIPOSupported)
include(GNUInstallDirs)
check_ipo_supported(RESULT console_lto_supported LANGUAGES CXX)

# Every program lands in one directory, where the demo and the tests find it.
set(CONSOLE_PROGRAM_DIR ${PROJECT_BINARY_DIR}/bin)

# Where an installation puts the programs: the usual places, or on Windows one folder to
# unzip, the programs beside their README and licence.
if(WIN32)
  set(CONSOLE_INSTALL_BINDIR .)
else()
  set(CONSOLE_INSTALL_BINDIR ${CMAKE_INSTALL_BINDIR})
endif()

# console_target(<target> [OPTIMISED]): C++20 without compiler extensions, and the project's
# warnings. OPTIMISED: in release builds, optimised across source files where the toolchain
# can, which lets the shared layer's calls be inlined into each program.
function(console_target target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "OPTIMISED" "" "")
  target_link_libraries(${target} PRIVATE console_options)
  set_target_properties(${target} PROPERTIES CXX_EXTENSIONS OFF)
  if(arg_OPTIMISED AND console_lto_supported)
    set_target_properties(${target} PROPERTIES INTERPROCEDURAL_OPTIMIZATION_RELEASE ON)
  endif()
endfunction()

# add_console_program(<name> <source>... [STREAMING])
#   A program built on the console layer. Its example input is examples/<name>.txt and the
#   output it gives examples/<name>.expected; the demo, the tests, the fuzz target and the
#   benchmarks all take them from there. Its manual page is man/<name>.1, installed but on
#   Windows. STREAMING: the program writes as it reads, so a refusal may follow the answers
#   to earlier input; any other program writes nothing before a refusal.
function(add_console_program name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "STREAMING" "" "")
  foreach(needed examples/${name}.txt examples/${name}.expected man/${name}.1)
    if(NOT EXISTS ${PROJECT_SOURCE_DIR}/${needed})
      message(FATAL_ERROR "add_console_program(${name}): ${needed} is missing; every program "
                          "has an example input (.txt), its output (.expected) and a manual page")
    endif()
  endforeach()
  add_executable(${name} ${arg_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE console)
  console_target(${name} OPTIMISED)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CONSOLE_PROGRAM_DIR}
                                           CONSOLE_STREAMING ${arg_STREAMING})
  if(CONSOLE_STATIC)
    target_link_options(${name} PRIVATE -static)
  endif()
  install(TARGETS ${name} RUNTIME DESTINATION ${CONSOLE_INSTALL_BINDIR})
  if(NOT WIN32)
    # The page, with the project's version in its header.
    configure_file(${PROJECT_SOURCE_DIR}/man/${name}.1 ${PROJECT_BINARY_DIR}/man/${name}.1 @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/man/${name}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
  set_property(GLOBAL APPEND PROPERTY CONSOLE_PROGRAMS ${name})
endfunction()
