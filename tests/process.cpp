#include "process.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <thread>
#include <vector>

namespace testing_support {
namespace {

int decode(int raw) {
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
}

}  // namespace

TempFile::TempFile() : file_(std::tmpfile()) {
  if (file_ == nullptr) throw std::runtime_error("no temporary file");
}
TempFile::~TempFile() {
  std::fclose(file_);
}
int TempFile::fd() const {
  return fileno(file_);
}

std::string program_path(std::string_view program) {
  return std::string(PROGRAM_DIR) + "/" + std::string(program);
}

std::vector<std::string> programs() {
  std::vector<std::string> names;
  std::string_view list = PROGRAMS;
  while (!list.empty()) {
    const std::size_t comma = std::min(list.find(','), list.size());
    names.emplace_back(list.substr(0, comma));
    list.remove_prefix(std::min(comma + 1, list.size()));
  }
  return names;
}

std::string test_name(std::string_view program) {
  std::string name(program);
  std::replace(name.begin(), name.end(), '-', '_');
  return name;
}

pid_t spawn(std::string_view program, int in, int out, int err, const Launch& launch) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in, 0);
  posix_spawn_file_actions_adddup2(&actions, out, 1);
  posix_spawn_file_actions_adddup2(&actions, err, 2);
  // Every signal as a shell leaves it to a command it starts, whatever this test ignores.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t all;
  sigfillset(&all);
  posix_spawnattr_setsigdefault(&attributes, &all);
  short flags = POSIX_SPAWN_SETSIGDEF;
  if (launch.own_process_group) {
    flags |= POSIX_SPAWN_SETPGROUP;
    posix_spawnattr_setpgroup(&attributes, 0);
  }
  posix_spawnattr_setflags(&attributes, flags);
  const std::string path = program_path(program);
  std::vector<char*> argv = {const_cast<char*>(path.c_str())};
  for (const std::string& arg : launch.args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t child = 0;
  const int error = posix_spawn(&child, path.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) throw std::runtime_error("cannot start " + path);
  return child;
}

std::optional<int> wait_for(pid_t child, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    int raw = 0;
    if (waitpid(child, &raw, WNOHANG) == child) return decode(raw);
    if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

std::optional<int> finish(pid_t child, std::chrono::milliseconds limit) {
  const auto status = wait_for(child, limit);
  if (!status) {
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
  }
  return status;
}

std::string read_all(int fd) {
  std::string text;
  char chunk[4096];
  for (off_t at = 0;;) {
    const ssize_t got = pread(fd, chunk, sizeof chunk, at);
    if (got <= 0) return text;
    text.append(chunk, static_cast<std::size_t>(got));
    at += got;
  }
}

Outcome run_program(std::string_view program, std::string_view input, const Launch& launch) {
  TempFile in, out, err;
  if (write(in.fd(), input.data(), input.size()) != static_cast<ssize_t>(input.size()) ||
      lseek(in.fd(), 0, SEEK_SET) != 0) {
    throw std::runtime_error("cannot write the input file");
  }
  const pid_t child = spawn(program, in.fd(), out.fd(), err.fd(), launch);
  const auto status = finish(child, std::chrono::seconds(30));
  if (!status) throw std::runtime_error(std::string(program) + " did not end");
  return {read_all(out.fd()), read_all(err.fd()), *status};
}

}  // namespace testing_support
