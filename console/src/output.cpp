#include "console/output.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <charconv>
#include <cstring>
#include <string>

#include "console/failure.hpp"

namespace console {
namespace {

constexpr std::array<std::uint64_t, 10> powers_of_ten = {
    1, 10, 100, 1'000, 10'000, 100'000, 1'000'000, 10'000'000, 100'000'000, 1'000'000'000};

}  // namespace

Output::Output(Sink& sink, std::span<char> buffer)
    : sink_(sink),
      begin_(buffer.data()),
      next_(buffer.data()),
      end_(buffer.data() + buffer.size()) {
  assert(buffer.size() >= min_buffer_size);
}

void Output::put_across(std::string_view text) {
  while (!text.empty()) {
    if (next_ == end_) flush();
    const std::size_t part = std::min(text.size(), static_cast<std::size_t>(end_ - next_));
    std::memcpy(next_, text.data(), part);
    next_ += part;
    text.remove_prefix(part);
  }
}

void Output::whole(std::int32_t value, int width) {
  // A sign and ten digits, or the width.
  constexpr std::size_t room = 16;
  assert(width >= 0 && static_cast<std::size_t>(width) < room);
  char* const start = reserve(room);
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
  for (int i = length; i < width; ++i)
    *at++ = '0';
  std::memcpy(at, digits.data(), static_cast<std::size_t>(length));
  commit(at + length);
}

void Output::fixed(float value, int decimals) {
  assert(decimals >= 0 && decimals <= 9);
  // The largest float has 39 integer digits.
  char* const start = reserve(64);
  const auto bits = std::bit_cast<std::uint32_t>(value);
  const auto biased = static_cast<int>((bits >> 23) & 0xff);
  const std::uint64_t significand = (bits & 0x7fffff) | (biased != 0 ? 0x800000u : 0u);
  const int exponent = (biased != 0 ? biased : 1) - 150;  // value = significand * 2^exponent
  const std::uint64_t scale = powers_of_ten[static_cast<std::size_t>(decimals)];

  // Most values are below 2^32 and not tiny: value * 10^decimals, rounded half to even as
  // printf rounds it, fits 64 bits. The rest goes to the general conversion.
  if (biased == 0xff || exponent > 8 || exponent < -63) {
    commit(std::to_chars(start, start + 64, static_cast<double>(value), std::chars_format::fixed,
                         decimals)
               .ptr);
    return;
  }
  std::uint64_t rounded = 0;
  if (exponent >= 0) {
    rounded = (significand << exponent) * scale;
  } else {
    const auto shift = static_cast<unsigned>(-exponent);
    const std::uint64_t scaled = significand * scale;
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    const std::uint64_t rest = scaled & ((half << 1) - 1);
    rounded = scaled >> shift;
    if (rest > half || (rest == half && (rounded & 1) != 0)) ++rounded;
  }

  char* at = start;
  if ((bits >> 31) != 0) *at++ = '-';
  at = std::to_chars(at, start + 64, rounded / scale).ptr;
  if (decimals > 0) {
    *at++ = '.';
    std::uint64_t fraction = rounded % scale;
    for (int i = decimals - 1; i >= 0; --i) {
      at[i] = static_cast<char>('0' + fraction % 10);
      fraction /= 10;
    }
    at += decimals;
  }
  commit(at);
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
