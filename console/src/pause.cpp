#include "pause.hpp"

#ifdef _WIN32
#include <windows.h>

#include <cstdlib>
#else
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <string_view>

#include "standard_streams.hpp"
#endif

namespace console {

#ifdef _WIN32

void pause(bool) {
  // Keys typed before the prompt appeared must not end the pause.
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (input != INVALID_HANDLE_VALUE && GetConsoleMode(input, &mode)) {
    (void)FlushConsoleInputBuffer(input);
  }
  (void)std::system("pause");
}

#else

namespace {

constexpr std::string_view prompt = "Press any key to continue . . .";

// How long the later bytes of one key may take: a terminal sends them together.
constexpr int key_follow_ms = 50;

// What the signal handlers use. Set before the handlers are installed and not changed while
// they are.
termios saved_modes{};
termios pause_modes{};
int screen = -1;  // the terminal, open for writing the prompt

bool same_terminal(int a, int b) {
  struct stat first {};
  struct stat second {};
  return ::fstat(a, &first) == 0 && ::fstat(b, &second) == 0 && S_ISCHR(first.st_mode) &&
         S_ISCHR(second.st_mode) && first.st_rdev == second.st_rdev;
}

// The terminal standard input comes from, opened for writing: by its name, else as the
// controlling terminal when it is that, else standard input itself when it is writable.
// -1 when none can be written: then no prompt can be shown, and the pause does not wait.
int open_screen() {
  if (const char* name = ::ttyname(0); name != nullptr) {
    const int fd = ::open(name, O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0 && same_terminal(fd, 0)) return fd;
    if (fd >= 0) ::close(fd);
  }
  if (::tcgetsid(0) == ::getsid(0)) {
    const int fd = ::open("/dev/tty", O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0) return fd;
  }
  const int flags = ::fcntl(0, F_GETFL);
  if (flags >= 0 && (flags & O_ACCMODE) != O_RDONLY) return ::fcntl(0, F_DUPFD_CLOEXEC, 3);
  return -1;
}

// Shows the prompt, then sets the pause's mode, discarding what was typed before: only a key
// pressed after the prompt appeared counts. Async-signal-safe, as all that handlers call.
bool show_prompt(std::string_view before) {
  const bool shown = write_all_to(screen, before) == 0 && write_all_to(screen, prompt) == 0;
  return ::tcsetattr(0, TCSAFLUSH, &pause_modes) == 0 && shown;
}

void restore_terminal() {
  (void)::tcsetattr(0, TCSANOW, &saved_modes);
}

void set_default_action(int signal_number, struct sigaction* before = nullptr) {
  struct sigaction by_default {};
  by_default.sa_handler = SIG_DFL;
  (void)::sigaction(signal_number, &by_default, before);
}

// A signal that ends the program: the terminal as it was first, then the end it would have.
extern "C" void on_ending_signal(int signal_number) {
  restore_terminal();
  (void)::write(screen, "\n", 1);
  set_default_action(signal_number);
  // Blocked while this handler runs, it is delivered as the handler returns.
  (void)::raise(signal_number);
}

// Continued after a stop: the pause's mode and the prompt again, on the same line.
extern "C" void on_continue(int) {
  const int error = errno;
  (void)show_prompt("\r");
  errno = error;
}

// A stop asked for: the terminal as it was while stopped.
extern "C" void on_stop(int) {
  const int error = errno;
  restore_terminal();
  struct sigaction ours {};
  set_default_action(SIGTSTP, &ours);
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTSTP);
  (void)::sigprocmask(SIG_UNBLOCK, &stop, nullptr);
  (void)::raise(SIGTSTP);  // stopped here until continued
  (void)::sigaction(SIGTSTP, &ours, nullptr);
  // Continued, on_continue runs once this returns. A program whose process group has no
  // shell to continue it is not stopped at all: it goes on waiting at once.
  sigset_t pending;
  if (::sigpending(&pending) == 0 && sigismember(&pending, SIGCONT) == 0) {
    (void)show_prompt("\r");
  }
  errno = error;
}

struct Handler {
  int signal_number;
  void (*handle)(int);
};

constexpr std::array<Handler, 6> handlers = {{{SIGINT, on_ending_signal},
                                              {SIGTERM, on_ending_signal},
                                              {SIGHUP, on_ending_signal},
                                              {SIGQUIT, on_ending_signal},
                                              {SIGTSTP, on_stop},
                                              {SIGCONT, on_continue}}};

using Actions = std::array<struct sigaction, handlers.size()>;

// The handled signals, each blocked while any handler runs.
sigset_t handled_signals() {
  sigset_t set;
  sigemptyset(&set);
  for (const Handler& handler : handlers)
    sigaddset(&set, handler.signal_number);
  return set;
}

// Installs the handlers, except for a signal the program was started with ignored, and
// returns what they replace.
Actions install_handlers() {
  Actions before{};
  for (std::size_t i = 0; i < handlers.size(); ++i) {
    struct sigaction action {};
    action.sa_handler = handlers[i].handle;
    action.sa_mask = handled_signals();
    action.sa_flags = SA_RESTART;
    (void)::sigaction(handlers[i].signal_number, &action, &before[i]);
    if (before[i].sa_handler == SIG_IGN) {
      (void)::sigaction(handlers[i].signal_number, &before[i], nullptr);
    }
  }
  return before;
}

void restore_handlers(const Actions& before) {
  for (std::size_t i = 0; i < handlers.size(); ++i)
    (void)::sigaction(handlers[i].signal_number, &before[i], nullptr);
}

// One byte from the terminal within `wait_ms` (-1: however long it takes), or -1 when none
// comes or the terminal is gone.
int read_byte(int wait_ms) {
  for (;;) {
    pollfd ready{0, POLLIN, 0};
    const int events = ::poll(&ready, 1, wait_ms);
    if (events < 0 && errno == EINTR) continue;
    if (events <= 0) return -1;
    unsigned char byte = 0;
    const long got = ::read(0, &byte, 1);
    if (got == 1) return byte;
    if (got < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) continue;
    return -1;
  }
}

// Reads one key and nothing after it: a byte, or every byte of a key that sends several (an
// arrow key sends ESC [ A, a letter beyond ASCII two to four bytes of UTF-8).
void read_key() {
  const int first = read_byte(-1);
  if (first == 0x1b) {
    const int second = read_byte(key_follow_ms);
    if (second == '[') {
      // Parameter and intermediate bytes, then the final byte that ends the sequence.
      for (int i = 0; i < 16; ++i) {
        const int next = read_byte(key_follow_ms);
        if (next < 0x20 || next > 0x3f) break;
      }
    } else if (second == 'O') {
      (void)read_byte(key_follow_ms);
    }
  } else if (first >= 0xc0) {
    const int more = first >= 0xf0 ? 3 : first >= 0xe0 ? 2 : 1;
    for (int i = 0; i < more && read_byte(key_follow_ms) >= 0; ++i) {
    }
  }
}

}  // namespace

void pause(bool output_line_open) {
  if (::isatty(0) == 0 || ::tcgetattr(0, &saved_modes) != 0) return;
  screen = open_screen();
  if (screen < 0) return;

  // One key, unechoed, without waiting for a line end; an interrupt key counts as a key too.
  pause_modes = saved_modes;
  pause_modes.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG);
  pause_modes.c_cc[VMIN] = 1;
  pause_modes.c_cc[VTIME] = 0;

  // The handled signals wait while the terminal changes mode; they are taken only while the
  // pause waits for the key.
  const sigset_t handled = handled_signals();
  sigset_t unblocked;
  (void)::sigprocmask(SIG_BLOCK, &handled, &unblocked);
  const Actions before = install_handlers();

  // Output left inside a line on this terminal would run into the prompt.
  const bool own_line = output_line_open && same_terminal(1, screen);
  if (show_prompt(own_line ? "\n" : "")) {
    (void)::sigprocmask(SIG_SETMASK, &unblocked, nullptr);
    read_key();
    (void)::sigprocmask(SIG_BLOCK, &handled, nullptr);
  }
  restore_terminal();
  (void)write_all_to(screen, "\n");
  restore_handlers(before);
  (void)::sigprocmask(SIG_SETMASK, &unblocked, nullptr);
  ::close(screen);
}

#endif

}  // namespace console
