// The programs on descriptors they share with others: a file whose rest belongs to the next
// reader, a full device that loses answers, and pipes that a parent left non-blocking.

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "case_name.hpp"
#include "process.hpp"

namespace {

using namespace std::chrono_literals;
using testing_support::CaseName;
using testing_support::finish;
using testing_support::read_all;
using testing_support::spawn;
using testing_support::TempFile;

const std::string board =
    "1 70 80 90\n2 90 85 81\n3 100 100 99\n4 55 60 65\n5 -1 2 3\n6 88 92 79\n7 90 85 80\n"
    "8 60 70 80\n9 95 90 85\n10 72 68 75";

struct SharedFileCase {
  const char* name;
  friend void PrintTo(const SharedFileCase& c, std::ostream* os) { *os << c.name; }
  const char* program;
  std::string input;
  std::string left;  // what the next reader of the file gets
  int status;
  const char* output = nullptr;  // a path for standard output, when not a file of the test's
};

class SharedFileTest : public testing::TestWithParam<SharedFileCase> {};

// As in `{ program; cat; } < file`: the program's standard input shares its offset with cat's.
TEST_P(SharedFileTest, LeavesWhatItDidNotConsumeToTheNextReader) {
  const SharedFileCase& c = GetParam();
  TempFile in, out, err;
  ASSERT_EQ(write(in.fd(), c.input.data(), c.input.size()), static_cast<ssize_t>(c.input.size()));
  ASSERT_EQ(lseek(in.fd(), 0, SEEK_SET), 0);
  const int output = c.output != nullptr ? open(c.output, O_WRONLY) : dup(out.fd());
  ASSERT_GE(output, 0);
  const pid_t child = spawn(c.program, in.fd(), output, err.fd());
  close(output);
  EXPECT_EQ(finish(child, 10s), c.status) << read_all(err.fd());
  std::string left;
  char chunk[256];
  for (ssize_t got; (got = read(in.fd(), chunk, sizeof chunk)) > 0;)
    left.append(chunk, static_cast<std::size_t>(got));
  EXPECT_EQ(left, c.left);
}

INSTANTIATE_TEST_SUITE_P(
    Descriptors, SharedFileTest,
    testing::Values(SharedFileCase{"after_a_result", "crestgrid", "1 1\n5\nfor the next one\n",
                                   "\nfor the next one\n", 0},
                    SharedFileCase{"after_the_last_line_taken", "helixmate-stream", "1\nAC\nGT\n",
                                   "GT\n", 0},
                    SharedFileCase{"after_a_refusal", "meanboard", "1 2 x7 rest\n", " rest\n", 1},
                    SharedFileCase{"after_a_write_error", "meanboard", board + "\nrest\n",
                                   "\nrest\n", 1, "/dev/full"}),
    CaseName{});

TEST(Descriptors, AWriteErrorIsReportedBesideARefusal) {
  TempFile in, err;
  const std::string input = "2\nAC\nx" + std::string(300, ' ') + "\n";
  ASSERT_EQ(write(in.fd(), input.data(), input.size()), static_cast<ssize_t>(input.size()));
  ASSERT_EQ(lseek(in.fd(), 0, SEEK_SET), 0);
  const int full = open("/dev/full", O_WRONLY);
  const pid_t child = spawn("helixmate-stream", in.fd(), full, err.fd());
  close(full);
  EXPECT_EQ(finish(child, 10s), 1);
  EXPECT_EQ(read_all(err.fd()),
            "helixmate-stream: line 3: expected a line of at most 254 characters, found a longer "
            "one\nhelixmate-stream: write error: No space left on device\n");
}

// Strands whose answers fill several pipe buffers.
std::string many_strands() {
  std::string input = "4000\n";
  for (int i = 0; i < 4000; ++i)
    input += std::string(60, "ACGT"[i % 4]) + "x\n";
  return input;
}

TEST(Descriptors, NonBlockingPipesGiveTheSameResultAsBlockingOnes) {
  const std::string input = many_strands();
  const auto expected = testing_support::run_program("helixmate-stream", input);
  ASSERT_EQ(expected.status, 0);
  ASSERT_GT(expected.out.size(), std::size_t{3} * 65536);

  int to_program[2], from_program[2];
  ASSERT_EQ(pipe(to_program), 0);
  ASSERT_EQ(pipe(from_program), 0);
  fcntl(to_program[0], F_SETFL, O_NONBLOCK);
  fcntl(from_program[1], F_SETFL, O_NONBLOCK);
  TempFile err;
  const pid_t child = spawn("helixmate-stream", to_program[0], from_program[1], err.fd());
  close(to_program[0]);
  close(from_program[1]);

  // The input arrives late and in pieces; the output is read late too. A program that gives
  // up early must fail the test, not end it.
  signal(SIGPIPE, SIG_IGN);
  std::thread feeder([&] {
    std::this_thread::sleep_for(100ms);
    for (std::size_t at = 0; at < input.size(); at += 10000) {
      const std::string piece = input.substr(at, 10000);
      if (write(to_program[1], piece.data(), piece.size()) != static_cast<ssize_t>(piece.size()))
        break;
      std::this_thread::sleep_for(5ms);
    }
    close(to_program[1]);
  });
  std::this_thread::sleep_for(300ms);
  std::string out;
  char chunk[4096];
  for (ssize_t got; (got = read(from_program[0], chunk, sizeof chunk)) > 0;)
    out.append(chunk, static_cast<std::size_t>(got));
  feeder.join();
  close(from_program[0]);
  EXPECT_EQ(finish(child, 10s), 0);
  EXPECT_EQ(read_all(err.fd()), "");
  EXPECT_EQ(out, expected.out);
}

}  // namespace
