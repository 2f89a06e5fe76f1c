# How the project's targets are built, and add_console_program, the one step to add a program.

include(CheckIPOSupported)
check_ipo_supported(RESULT console_lto_supported LANGUAGES CXX)

# Every program lands in one directory, where the demo and the tests find it.
set(CONSOLE_PROGRAM_DIR ${PROJECT_BINARY_DIR}/bin)

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
#   benchmarks all take them from there. STREAMING: the program writes as it reads, so a
#   refusal may follow the answers to earlier input; any other program writes nothing
#   before a refusal.
function(add_console_program name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "STREAMING" "" "")
  foreach(example ${name}.txt ${name}.expected)
    if(NOT EXISTS ${PROJECT_SOURCE_DIR}/examples/${example})
      message(FATAL_ERROR "add_console_program(${name}): examples/${example} is missing; "
                          "every program has an example input (.txt) and its output (.expected)")
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
  install(TARGETS ${name} RUNTIME DESTINATION bin)
  set_property(GLOBAL APPEND PROPERTY CONSOLE_PROGRAMS ${name})
endfunction()
