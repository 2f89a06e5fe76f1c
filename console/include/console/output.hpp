#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

namespace console {

// Where output bytes go. A sink reports what went wrong and never throws: the writer turns
// an error into a Failure.
class Sink {
 public:
  // Writes all `size` bytes; returns 0, or when that fails an error number from <cerrno>.
  virtual int write_all(const char* data, std::size_t size) = 0;

 protected:
  ~Sink() = default;
};

// Buffered output in the programs' formats. The buffer is written out when it is full and on
// flush; a write that fails throws Failure and drops what was pending.
class Output {
 public:
  static constexpr std::size_t min_buffer_size = 512;
  // The most one reserve may ask for: any buffer has room for it once it is written out.
  static constexpr std::size_t max_reserve = min_buffer_size;

  Output(Sink& sink, std::span<char> buffer);

  void put(char c) {
    if (next_ == end_) flush();
    *next_++ = c;
  }
  void put(std::string_view text) {
    if (text.size() > static_cast<std::size_t>(end_ - next_)) return put_across(text);
    std::memcpy(next_, text.data(), text.size());
    next_ += text.size();
  }

  // "%d"; with a width (less than 16), "%0<width>d": zero-padded after the sign.
  void whole(std::int32_t value, int width = 0);

  // "%.<decimals>f" of the value widened to double, rounded as the C library rounds.
  void fixed(float value, int decimals);

  // All the room left straight in the buffer, at least `size` bytes (at most max_reserve):
  // what is pending is written out first when less is left. `commit` then takes the bytes
  // written, up to `end`.
  std::span<char> room(std::size_t size) {
    assert(size <= max_reserve);
    if (static_cast<std::size_t>(end_ - next_) < size) flush();
    return {next_, end_};
  }
  // Room for `size` bytes, as room() gives it.
  char* reserve(std::size_t size) { return room(size).data(); }
  void commit(char* end) { next_ = end; }

  void flush();

 private:
  // Puts a text that does not fit what is left of the buffer, writing the buffer out between.
  void put_across(std::string_view text);

  Sink& sink_;
  char* begin_;
  char* next_;
  char* end_;
};

}  // namespace console
