#include "console/output.hpp"

#include <algorithm>
#include <array>
#include <cassert>
#include <charconv>
#include <cstring>
#include <string>

#include "console/failure.hpp"

namespace console {

Output::Output(Sink& sink, std::span<char> buffer)
    : sink_(sink),
      begin_(buffer.data()),
      next_(buffer.data()),
      end_(buffer.data() + buffer.size()) {
  assert(buffer.size() >= min_buffer_size);
}

void Output::put(std::string_view text) {
  while (!text.empty()) {
    if (next_ == end_) flush();
    const std::size_t part = std::min(text.size(), static_cast<std::size_t>(end_ - next_));
    std::memcpy(next_, text.data(), part);
    next_ += part;
    text.remove_prefix(part);
  }
}

void Output::whole(std::int32_t value, int width) {
  char* const start = reserve(16);
  char* at = start;
  auto magnitude = static_cast<std::int64_t>(value);
  if (magnitude < 0) {
    *at++ = '-';
    magnitude = -magnitude;
    --width;
  }
  std::array<char, 16> digits{};
  const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), magnitude).ptr;
  const auto length = static_cast<int>(end - digits.data());
  for (int i = length; i < width; ++i) *at++ = '0';
  std::memcpy(at, digits.data(), static_cast<std::size_t>(length));
  commit(at + length);
}

void Output::fixed(float value, int decimals) {
  assert(decimals >= 0 && decimals <= 9);
  // The largest float has 39 integer digits.
  char* const start = reserve(64);
  const auto end = std::to_chars(start, start + 64, static_cast<double>(value),
                                 std::chars_format::fixed, decimals);
  commit(end.ptr);
}

void Output::flush() {
  const auto size = static_cast<std::size_t>(next_ - begin_);
  next_ = begin_;
  if (size == 0) return;
  if (const int error = sink_.write_all(begin_, size); error != 0) {
    throw Failure(0, std::string("write error: ") + std::strerror(error));
  }
}

}  // namespace console
