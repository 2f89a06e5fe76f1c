# cmake -DPROGRAM_DIR=... -DEXAMPLE_DIR=... -DPROGRAMS=a,b -P demo.cmake
string(REPLACE "," ";" programs "${PROGRAMS}")
foreach(program IN LISTS programs)
  message("\n== ${program} < examples/${program}.txt")
  execute_process(COMMAND ${PROGRAM_DIR}/${program}
                  INPUT_FILE ${EXAMPLE_DIR}/${program}.txt
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${program} ended with status ${status}")
  endif()
endforeach()
