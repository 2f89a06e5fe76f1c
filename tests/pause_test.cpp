// The closing pause: it waits for a key only when standard input is a terminal, shows its
// prompt there and nowhere else, and leaves the terminal as it was.

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

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
  // Everything the terminal shows until `wanted` appears, or until `limit` passes.
  std::string screen_until(std::string_view wanted, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (screen_.find(wanted) == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
      pollfd ready{controller_, POLLIN, 0};
      if (poll(&ready, 1, 20) == 1) {
        char chunk[512];
        const ssize_t got = read(controller_, chunk, sizeof chunk);
        if (got > 0) screen_.append(chunk, static_cast<std::size_t>(got));
      }
    }
    return screen_;
  }

 private:
  int controller_ = -1;
  int terminal_ = -1;
  std::string screen_;
};

bool same_modes(const termios& a, const termios& b) {
  return a.c_lflag == b.c_lflag && a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag &&
         a.c_cc[VMIN] == b.c_cc[VMIN] && a.c_cc[VTIME] == b.c_cc[VTIME];
}

struct TerminalCase {
  const char* name;
  friend void PrintTo(const TerminalCase& c, std::ostream* os) { *os << c.name; }
  std::string typed;
  int status;
};

class PauseOnTerminalTest : public testing::TestWithParam<TerminalCase> {};

TEST_P(PauseOnTerminalTest, WaitsForOneKeyAfterAllOutput) {
  Terminal terminal;
  TempFile out, err;
  termios before{};
  ASSERT_EQ(tcgetattr(terminal.fd(), &before), 0);

  const pid_t child = spawn("meanboard", terminal.fd(), out.fd(), err.fd());
  terminal.type(GetParam().typed);
  const std::string screen = terminal.screen_until(prompt, 10s);
  EXPECT_NE(screen.find(prompt), std::string::npos) << screen;

  // Waiting for the key, with its output already written and the prompt not in it.
  EXPECT_FALSE(wait_for(child, 200ms).has_value());
  const std::string written = read_all(out.fd()) + read_all(err.fd());
  EXPECT_EQ(written.find("Press"), std::string::npos);
  EXPECT_FALSE(written.empty());

  terminal.type("k");
  EXPECT_EQ(finish(child, 10s), GetParam().status);

  termios after{};
  ASSERT_EQ(tcgetattr(terminal.fd(), &after), 0);
  EXPECT_TRUE(same_modes(before, after));
}

INSTANTIATE_TEST_SUITE_P(
    Pause, PauseOnTerminalTest,
    testing::Values(TerminalCase{"after_a_good_run",
                                 "1 1 1 1\n2 2 2 2\n3 3 3 3\n4 4 4 4\n5 5 5 5\n6 6 6 6\n7 7 7 7\n"
                                 "8 8 8 8\n9 9 9 9\n10 10 10 10\n",
                                 0},
                    TerminalCase{"after_a_refusal", "1 2 x\n", 1}),
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
