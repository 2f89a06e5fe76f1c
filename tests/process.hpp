#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

// An unnamed temporary file, closed when it goes out of scope.
class TempFile {
 public:
  TempFile();
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  int fd() const;

 private:
  std::FILE* file_;
};

// The built program of that name.
std::string program_path(std::string_view program);

// Every program the build makes, by name.
std::vector<std::string> programs();

// The name of a program as a test's name: letters, digits and underscores.
std::string test_name(std::string_view program);

// How a program is started beyond its standard streams.
struct Launch {
  std::vector<std::string> args;   // after the program's name
  bool own_process_group = false;  // as a shell starts a job, so that it can be stopped
};

// What a finished run left behind.
struct Outcome {
  std::string out;
  std::string err;
  int status;  // the exit status, or 128 plus the signal that ended it
};

// Runs the program with `input` as a file on standard input.
Outcome run_program(std::string_view program, std::string_view input, const Launch& launch = {});

// Starts the program on the given descriptors for standard input, output and error.
pid_t spawn(std::string_view program, int in, int out, int err, const Launch& launch = {});

// The status of the child once it has ended, or nothing if it is still running after `limit`.
std::optional<int> wait_for(pid_t child, std::chrono::milliseconds limit);

// As wait_for, but a child still running after `limit` is killed.
std::optional<int> finish(pid_t child, std::chrono::milliseconds limit);

// Everything in the file behind the descriptor, from its start.
std::string read_all(int fd);

}  // namespace testing_support
