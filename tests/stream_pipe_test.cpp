// helixmate-stream answers each line through a pipe before it waits for the next one.

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "process.hpp"

namespace {

using namespace std::chrono_literals;

// Reads from `fd` until `size` bytes have arrived, the pipe closes or `limit` passes.
std::string read_until(int fd, std::size_t size, std::chrono::milliseconds limit) {
  std::string got;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (got.size() < size && std::chrono::steady_clock::now() < deadline) {
    pollfd ready{fd, POLLIN, 0};
    if (poll(&ready, 1, 20) != 1) continue;
    char chunk[256];
    const ssize_t n = read(fd, chunk, sizeof chunk);
    if (n <= 0) break;
    got.append(chunk, static_cast<std::size_t>(n));
  }
  return got;
}

TEST(HelixmateStream, AnswersEachLineThroughAPipeBeforeTheNext) {
  int to_program[2], from_program[2];
  ASSERT_EQ(pipe(to_program), 0);
  ASSERT_EQ(pipe(from_program), 0);
  const int err = open("/dev/null", O_WRONLY);
  const pid_t child =
      testing_support::spawn("helixmate-stream", to_program[0], from_program[1], err);
  close(to_program[0]);
  close(from_program[1]);
  close(err);

  const std::pair<std::string, std::string> exchanges[] = {
      {"3 GA\n", "CT\n"}, {"ACGT\n", "TGCA\n"}, {"xGx\n", "C\n"}, {"TTAC\n", "AATG\n"}};
  for (const auto& [line, answer] : exchanges) {
    ASSERT_EQ(write(to_program[1], line.data(), line.size()), static_cast<ssize_t>(line.size()));
    EXPECT_EQ(read_until(from_program[0], answer.size(), 10s), answer) << "after " << line;
  }
  close(to_program[1]);
  EXPECT_EQ(read_until(from_program[0], 1, 1s), "");
  close(from_program[0]);
  EXPECT_EQ(testing_support::finish(child, 10s), 0);
}

}  // namespace
