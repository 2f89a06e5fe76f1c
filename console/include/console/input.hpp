#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace console {

class Output;

// Where input bytes come from.
class Source {
 public:
  // Stores up to `size` bytes at `data` and returns how many; 0 only at the end of input.
  // Returns what is available rather than waiting for `size` bytes.
  virtual std::size_t read_some(char* data, std::size_t size) = 0;

 protected:
  ~Source() = default;
};

// Reads whole numbers, reals and lines in the programs' layouts. Whatever breaks a layout
// throws Failure naming the input line. Nothing beyond what is asked for is judged.
class Input {
 public:
  static constexpr std::size_t max_line_length = 254;
  static constexpr std::size_t min_buffer_size = 512;

  // `tied`, when given, is flushed before every wait for more input, so that whoever feeds
  // the program sees the answers to what it has sent so far.
  Input(Source& source, std::span<char> buffer, Output* tied = nullptr);

  // Skips white space, then reads an optionally signed decimal number of 32 bits.
  std::int32_t whole();

  // Skips white space, then reads an optionally signed decimal real with optional fraction and
  // exponent, rounded once to single precision. It must be finite in single precision.
  float real();

  // Reads the rest of the current line and consumes its line feed; a carriage return right
  // before the line feed is not part of it. The view is valid until the next read.
  std::string_view line();

  // The line the last read ended on, counted from 1. At the end of the input it is the last
  // line there is.
  std::int64_t line_number() const;

  // How many bytes have been read from the source but not consumed: the look-ahead that a
  // reader sharing the source would miss.
  std::size_t unread() const { return static_cast<std::size_t>(end_ - next_); }

 private:
  // The next byte, or -1 at the end of the input.
  int peek() { return next_ != end_ ? static_cast<unsigned char>(*next_) : peek_refill(0); }
  // The byte `ahead` places on, reading more as needed.
  int peek_refill(std::size_t ahead);
  // Consumes the next byte, which is no line feed.
  char take();
  bool fill();
  void skip_space();
  // Refuses the word that starts with `word_start`, showing its first characters; `cut` says
  // that `word_start` itself was cut short.
  [[noreturn]] void refuse_word(std::string_view expected, std::string_view word_start,
                                bool cut = false);

  Source& source_;
  Output* tied_;
  char* begin_;
  char* next_;
  char* end_;
  char* limit_;
  bool source_done_ = false;
  bool line_open_ = false;  // something of the current line has been consumed
  std::int64_t line_ = 1;
};

}  // namespace console
