# cmake -DEMULATOR=... -DPROGRAM=... -DEXAMPLE=<examples/name> -DOUTPUT=<file> -P check_example.cmake
# Runs a Windows build of a program on its example: the output must be the expected one
# with Windows line ends, followed by nothing but the text of the command interpreter's pause.
# Output goes through a file, read as hex, so that its carriage returns are kept.
execute_process(COMMAND ${EMULATOR} ${PROGRAM}
                INPUT_FILE ${EXAMPLE}.txt
                OUTPUT_FILE ${OUTPUT}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} ended with status ${status}")
endif()
file(READ ${OUTPUT} output HEX)
file(READ ${EXAMPLE}.expected expected)
string(REPLACE "\n" "\r\n" expected "${expected}")
string(HEX "${expected}" expected)
string(HEX "Press any key to continue" pause)
string(LENGTH "${expected}" length)
string(SUBSTRING "${output}" 0 ${length} head)
string(SUBSTRING "${output}" ${length} -1 tail)
if(NOT head STREQUAL expected)
  file(READ ${OUTPUT} text)
  message(FATAL_ERROR "${PROGRAM} wrote (in hex)\n${output}\ninstead of\n${expected}\n${text}")
endif()
if(NOT tail MATCHES "^${pause}")
  message(FATAL_ERROR "${PROGRAM}: the output is not followed by the pause but by (hex) ${tail}")
endif()
file(READ ${OUTPUT} text)
message("${PROGRAM}: exact output with CR LF line ends, then the pause:\n${text}")
