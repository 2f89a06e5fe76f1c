# Every program lands in one directory, where the demo and the tests find it.
set(CONSOLE_PROGRAM_DIR ${PROJECT_BINARY_DIR}/bin)

# add_console_program(<name> <source>...): a program built on the console layer.
function(add_console_program name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE console console_options)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CONSOLE_PROGRAM_DIR})
  if(CONSOLE_STATIC)
    target_link_options(${name} PRIVATE -static)
  endif()
  install(TARGETS ${name} RUNTIME DESTINATION bin)
  set_property(GLOBAL APPEND PROPERTY CONSOLE_PROGRAMS ${name})
endfunction()
