#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace console {

// Why a run cannot go on: input that breaks the layout, or a stream that cannot be read or
// written. The frame reports it as one line on standard error.
class Failure {
 public:
  // `line` is the input line it concerns, counted from 1, or 0 when it concerns no line.
  Failure(std::int64_t line, std::string message) : line_(line), message_(std::move(message)) {}

  std::int64_t line() const { return line_; }
  const std::string& message() const { return message_; }

 private:
  std::int64_t line_;
  std::string message_;
};

// Refuses input on `line`: "expected <expected>, found <found>".
[[noreturn]] void refuse(std::int64_t line, std::string_view expected, std::string_view found);

// Refuses a count beyond what a program holds: "expected at most <most> <things>, found
// <count>".
[[noreturn]] void refuse_count(std::int64_t line, std::size_t most, std::string_view things,
                               std::int64_t count);

}  // namespace console
