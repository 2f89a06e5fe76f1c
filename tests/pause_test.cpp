// The closing pause: it waits for a key only when standard input is a terminal, shows its
// prompt there and nowhere else, counts only a key pressed after the prompt, and leaves the
// terminal as it was, also when a signal ends or stops the program meanwhile.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "case_name.hpp"
#include "process.hpp"

namespace {

using testing_support::CaseName;

using namespace std::chrono_literals;
using testing_support::finish;
using testing_support::read_all;
using testing_support::spawn;
using testing_support::TempFile;
using testing_support::wait_for;

constexpr std::string_view prompt = "Press any key to continue . . .";

// A pseudo-terminal: the program gets the terminal end, the test types at the other.
class Terminal {
 public:
  Terminal() {
    controller_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (controller_ < 0 || grantpt(controller_) != 0 || unlockpt(controller_) != 0) {
      throw std::runtime_error("no pseudo-terminal");
    }
    terminal_ = open(ptsname(controller_), O_RDWR | O_NOCTTY);
    if (terminal_ < 0) throw std::runtime_error("cannot open the pseudo-terminal");
  }
  ~Terminal() {
    close(terminal_);
    close(controller_);
  }
  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;

  int fd() const { return terminal_; }
  void type(std::string_view keys) const {
    ASSERT_EQ(write(controller_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
  }
  // Everything the terminal has shown once `wanted` has appeared `times` times, or when
  // `limit` has passed.
  std::string screen_until(std::string_view wanted, std::chrono::milliseconds limit,
                           int times = 1) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (count(wanted) < times && std::chrono::steady_clock::now() < deadline) {
      pollfd ready{controller_, POLLIN, 0};
      if (poll(&ready, 1, 20) == 1) {
        char chunk[512];
        const ssize_t got = read(controller_, chunk, sizeof chunk);
        if (got > 0) screen_.append(chunk, static_cast<std::size_t>(got));
      }
    }
    return screen_;
  }
  // Everything the terminal has shown after `quiet` more of reading.
  std::string screen_after(std::chrono::milliseconds quiet) {
    return screen_until("\x01", quiet, 1);
  }
  termios modes() const {
    termios now{};
    EXPECT_EQ(tcgetattr(terminal_, &now), 0);
    return now;
  }
  // What was typed and not yet read by anyone, as a shell would read it next.
  std::string unread() const {
    const int flags = fcntl(terminal_, F_GETFL);
    fcntl(terminal_, F_SETFL, flags | O_NONBLOCK);
    std::string left;
    char chunk[64];
    for (ssize_t got; (got = read(terminal_, chunk, sizeof chunk)) > 0;)
      left.append(chunk, static_cast<std::size_t>(got));
    fcntl(terminal_, F_SETFL, flags);
    return left;
  }

 private:
  int count(std::string_view wanted) const {
    int found = 0;
    for (std::size_t at = screen_.find(wanted); at != std::string::npos;
         at = screen_.find(wanted, at + 1))
      ++found;
    return found;
  }

  int controller_ = -1;
  int terminal_ = -1;
  std::string screen_;
};

bool same_modes(const termios& a, const termios& b) {
  return a.c_lflag == b.c_lflag && a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag &&
         a.c_cc[VMIN] == b.c_cc[VMIN] && a.c_cc[VTIME] == b.c_cc[VTIME];
}

bool in_pause_mode(const termios& modes) {
  return (modes.c_lflag & (ICANON | ECHO | ISIG)) == 0;
}

// Whether the child stops within `limit`.
bool stops(pid_t child, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    int raw = 0;
    if (waitpid(child, &raw, WNOHANG | WUNTRACED) == child) return WIFSTOPPED(raw);
    std::this_thread::sleep_for(2ms);
  }
  return false;
}

const std::string board =
    "1 1 1 1\n2 2 2 2\n3 3 3 3\n4 4 4 4\n5 5 5 5\n6 6 6 6\n7 7 7 7\n8 8 8 8\n9 9 9 9\n"
    "10 10 10 10\n";

enum class During { nothing, signal, stop_and_continue };

struct PauseCase {
  const char* name;
  friend void PrintTo(const PauseCase& c, std::ostream* os) { *os << c.name; }
  const char* program;
  std::string typed;  // before the prompt: the input, and whatever else was typed ahead
  int status;
  During during = During::nothing;
  int signal = 0;
  std::string key = "Q";    // pressed after the prompt
  std::string shown = "Q";  // what must not appear on the screen after the prompt
  std::string after{};      // typed right after the key, in the same burst: left unread
  bool output_on_terminal = false;
  std::string prompt_after{};  // what the screen shows right before the prompt
};

class PauseOnTerminalTest : public testing::TestWithParam<PauseCase> {};

TEST_P(PauseOnTerminalTest, WaitsForOneKeyAndLeavesTheTerminalAsItWas) {
  const PauseCase& c = GetParam();
  Terminal terminal;
  TempFile out, err;
  const termios before = terminal.modes();

  const pid_t child =
      spawn(c.program, terminal.fd(), c.output_on_terminal ? terminal.fd() : out.fd(), err.fd(),
            {.args = {}, .own_process_group = true});
  terminal.type(c.typed);
  std::string screen = terminal.screen_until(prompt, 10s);
  ASSERT_NE(screen.find(prompt), std::string::npos) << screen;
  if (!c.prompt_after.empty()) {
    EXPECT_NE(screen.find(c.prompt_after + std::string(prompt)), std::string::npos) << screen;
  }

  // Waiting, unechoed, for a key after the prompt, whatever was typed before it; the output
  // is complete and the prompt is not in it.
  EXPECT_FALSE(wait_for(child, 200ms).has_value());
  EXPECT_TRUE(in_pause_mode(terminal.modes()));
  if (!c.output_on_terminal) {
    const std::string written = read_all(out.fd()) + read_all(err.fd());
    EXPECT_EQ(written.find("Press"), std::string::npos);
    EXPECT_FALSE(written.empty());
  }

  if (c.during == During::signal) {
    kill(child, c.signal);
    EXPECT_EQ(finish(child, 10s), 128 + c.signal);
    EXPECT_TRUE(same_modes(before, terminal.modes()));
    return;
  }
  if (c.during == During::stop_and_continue) {
    kill(child, SIGTSTP);
    ASSERT_TRUE(stops(child, 10s));
    EXPECT_TRUE(same_modes(before, terminal.modes())) << "while stopped";
    kill(child, SIGCONT);
    screen = terminal.screen_until(prompt, 10s, 2);
    EXPECT_FALSE(wait_for(child, 200ms).has_value());
    EXPECT_TRUE(in_pause_mode(terminal.modes())) << "continued";
  }

  terminal.type(c.key + c.after);
  EXPECT_EQ(finish(child, 10s), c.status);
  EXPECT_TRUE(same_modes(before, terminal.modes()));
  screen = terminal.screen_after(200ms);
  EXPECT_EQ(screen.substr(screen.rfind(prompt)).find(c.shown), std::string::npos) << screen;
  EXPECT_EQ(terminal.unread(), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Pause, PauseOnTerminalTest,
    testing::Values(
        PauseCase{"after_a_good_run", "meanboard", board, 0},
        PauseCase{"after_a_refusal", "meanboard", "1 2 x\n", 1},
        PauseCase{"keys_typed_ahead_do_not_count", "meanboard", board + "\n\x04 typed ahead\n", 0},
        PauseCase{"an_arrow_key_is_one_key", "meanboard", board, 0, During::nothing, 0, "\x1b[A",
                  "[A", "ls\n"},
        PauseCase{"ended_by_sigterm", "meanboard", board, 128 + SIGTERM, During::signal, SIGTERM},
        PauseCase{"ended_by_sighup", "meanboard", board, 128 + SIGHUP, During::signal, SIGHUP},
        PauseCase{"stopped_and_continued", "meanboard", board, 0, During::stop_and_continue},
        PauseCase{"prompt_on_its_own_line", "admitlist", "0 5\n", 0, During::nothing, 0, "Q", "Q",
                  "", true, "None.\r\n"}),
    CaseName{});

TEST(Pause, ReturnsAtOnceWhenInputIsNotATerminal) {
  TempFile out, err;
  int pipe_ends[2];
  ASSERT_EQ(pipe(pipe_ends), 0);
  const std::string input = "1 2 3 4 x";
  ASSERT_EQ(write(pipe_ends[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));
  close(pipe_ends[1]);
  const pid_t child = spawn("meanboard", pipe_ends[0], out.fd(), err.fd());
  close(pipe_ends[0]);
  EXPECT_EQ(finish(child, 10s), 1);
  EXPECT_EQ(read_all(out.fd()), "");
  EXPECT_EQ(read_all(err.fd()), "meanboard: line 1: expected a whole number, found \"x\"\n");
}

}  // namespace
