#pragma once

#include <string_view>

#include "console/input.hpp"
#include "console/output.hpp"

namespace console {

class StandardInput final : public Source {
 public:
  Result read_some(char* data, std::size_t size) override;

  // Gives the last `size` bytes read back to a seekable input, so that whoever reads it next
  // (a shell script's next command, say) starts right after what was consumed. Pipes and
  // terminals cannot take bytes back and are left as they are.
  void give_back(std::size_t size);
};

class StandardOutput final : public Sink {
 public:
  int write_all(const char* data, std::size_t size) override;

  // Whether something was written and its last byte was no line feed.
  bool line_open() const { return line_open_; }

 private:
  bool line_open_ = false;
};

// Writes all of `text` to the descriptor, going on after interruptions and waiting while a
// non-blocking descriptor is full; returns 0, or the error number of a write that failed.
int write_all_to(int fd, std::string_view text);

// Writes one diagnostic to standard error, unbuffered; errors are ignored.
void write_error(std::string_view text);

}  // namespace console
