#pragma once

namespace console {

// The closing step of every run. When standard input is an interactive terminal it shows
// "Press any key to continue . . ." there and waits for one key, leaving the terminal as it
// was; otherwise it returns at once.
void pause();

}  // namespace console
