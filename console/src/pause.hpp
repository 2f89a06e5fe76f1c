#pragma once

namespace console {

// The closing step of every run. When standard input is an interactive terminal it shows
// "Press any key to continue . . ." there and waits for one key pressed after the prompt
// appeared, leaving the terminal as it was, also when a signal ends or stops the program
// meanwhile; otherwise it returns at once. `output_line_open` says that standard output was
// left inside a line: on the same terminal, the prompt then starts on a line of its own.
void pause(bool output_line_open);

}  // namespace console
