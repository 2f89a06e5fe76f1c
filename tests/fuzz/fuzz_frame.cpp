// libFuzzer drives one program's job over generated inputs. The fuzz build renames the
// program's main to program_main; its call to console::run, defined here, hands over the
// job instead of running it on the standard streams. Each input is then checked against
// the rule for every run: a result, or one refusal line and, for a program that writes at
// the end, no output at all.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "console/frame.hpp"

int program_main(int argc, char** argv);

namespace {

console::Job job = nullptr;

// Hands out the input in pieces whose sizes vary along it, so that reads end anywhere.
class PiecewiseSource final : public console::Source {
 public:
  PiecewiseSource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  Result read_some(char* out, std::size_t room) override {
    const std::size_t piece = 1 + (at_ * 7 + size_) % 97;
    const std::size_t n = std::min({room, piece, size_ - at_});
    std::memcpy(out, data_ + at_, n);
    at_ += n;
    return {n, 0};
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

class StringSink final : public console::Sink {
 public:
  int write_all(const char* data, std::size_t size) override {
    text.append(data, size);
    return 0;
  }
  std::string text;
};

[[noreturn]] void broken(const char* rule, const std::string& detail) {
  std::fprintf(stderr, "rule broken: %s: %s\n", rule, detail.c_str());
  std::abort();
}

}  // namespace

int console::run(const console::Program& program, int, const char* const*) {
  job = program.job;
  return 0;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  const int status = program_main(*argc, *argv);
  if (job == nullptr) {
    std::fprintf(stderr,
                 "the program's main handed over no job: it must do nothing but "
                 "`return console::run({name, help, job}, argc, argv);`\n");
    std::abort();
  }
  return status;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  PiecewiseSource source(data, size);
  StringSink sink;
  std::array<char, console::Input::min_buffer_size> in_buffer;
  std::array<char, console::Output::min_buffer_size> out_buffer;
  console::Output out(sink, out_buffer);
  console::Input in(source, in_buffer, &out);
  try {
    job(in, out);
    out.flush();
  } catch (const console::Failure& failure) {
    out.flush();
    const std::string& message = failure.message();
    if (failure.line() < 1) broken("a refusal names its line", message);
    if (message.empty()) broken("a refusal says why", message);
    for (const char c : message) {
      if (c < ' ' || c > '~') broken("a refusal is one printable line", message);
    }
    if (CONSOLE_WRITES_AT_END && !sink.text.empty())
      broken("nothing is written before a refusal", message);
  }
  return 0;
}
