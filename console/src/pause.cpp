#include "console/pause.hpp"

#ifdef _WIN32
#include <cstdlib>
#else
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "console/standard_streams.hpp"
#endif

namespace console {

#ifdef _WIN32

void pause() {
  (void)std::system("pause");
}

#else

void pause() {
  termios saved{};
  if (::isatty(0) == 0 || ::tcgetattr(0, &saved) != 0) return;

  // The prompt goes to the terminal input comes from, never to redirected output.
  const char* const name = ::ttyname(0);
  const int terminal = name != nullptr ? ::open(name, O_WRONLY | O_NOCTTY | O_CLOEXEC) : -1;
  const int prompt_fd = terminal >= 0 ? terminal : 0;
  (void)write_all_to(prompt_fd, "Press any key to continue . . .");

  // One key, unechoed, without waiting for a line end; an interrupt key counts as a key too.
  termios raw = saved;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  if (::tcsetattr(0, TCSANOW, &raw) == 0) {
    // A key may send several bytes at once (an arrow key does): take them all.
    char keys[32];
    while (::read(0, keys, sizeof keys) < 0 && errno == EINTR) {
    }
    (void)::tcsetattr(0, TCSANOW, &saved);
  }
  (void)write_all_to(prompt_fd, "\n");
  if (terminal >= 0) ::close(terminal);
}

#endif

}  // namespace console
