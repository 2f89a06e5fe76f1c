#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace console {

// Where output bytes go.
class Sink {
 public:
  // Writes all `size` bytes, or returns an error number from <cerrno>; 0 on success.
  virtual int write_all(const char* data, std::size_t size) = 0;

 protected:
  ~Sink() = default;
};

// Buffered output in the programs' formats. The buffer is written out when it is full and on
// flush; a write that fails throws Failure and drops what was pending.
class Output {
 public:
  static constexpr std::size_t min_buffer_size = 512;
  // The most one reserve may ask for.
  static constexpr std::size_t max_reserve = 256;

  Output(Sink& sink, std::span<char> buffer);

  void put(char c) {
    if (next_ == end_) flush();
    *next_++ = c;
  }
  void put(std::string_view text);

  // "%d"; with a width, "%0<width>d": zero-padded after the sign.
  void whole(std::int32_t value, int width = 0);

  // "%.<decimals>f" of the value widened to double, rounded as the C library rounds.
  void fixed(float value, int decimals);

  // Room for up to `size` bytes (at most max_reserve) written straight into the buffer;
  // `commit` then takes the bytes up to `end`.
  char* reserve(std::size_t size) {
    if (static_cast<std::size_t>(end_ - next_) < size) flush();
    return next_;
  }
  void commit(char* end) { next_ = end; }

  void flush();

 private:
  Sink& sink_;
  char* begin_;
  char* next_;
  char* end_;
};

}  // namespace console
