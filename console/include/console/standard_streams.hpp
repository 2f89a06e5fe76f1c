#pragma once

#include <string_view>

#include "console/input.hpp"
#include "console/output.hpp"

namespace console {

class StandardInput final : public Source {
 public:
  std::size_t read_some(char* data, std::size_t size) override;
};

class StandardOutput final : public Sink {
 public:
  int write_all(const char* data, std::size_t size) override;
};

// Writes all of `text` to the descriptor, going on after interruptions; returns 0, or the
// error number of a write that failed.
int write_all_to(int fd, std::string_view text);

// Writes one diagnostic to standard error, unbuffered; errors are ignored.
void write_error(std::string_view text);

}  // namespace console
