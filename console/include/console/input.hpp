#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace console {

class Output;

// Where input bytes come from. A source reports what went wrong and never throws: the
// reader turns an error into a Failure.
class Source {
 public:
  // What one read gave: `size` bytes, 0 only at the end of the input; or, when it failed,
  // an error number from <cerrno>.
  struct Result {
    std::size_t size = 0;
    int error = 0;
  };

  // Stores up to `size` bytes at `data`, returning what is available rather than waiting for
  // `size` bytes.
  virtual Result read_some(char* data, std::size_t size) = 0;

 protected:
  ~Source() = default;
};

// Reads whole numbers, reals and lines in the programs' layouts. Whatever breaks a layout
// throws Failure naming the input line, and so does a source that cannot be read. Nothing
// beyond what is asked for is judged. A UTF-8 byte-order mark at the very start, as editors
// on Windows write one, is skipped; UTF-16 is refused.
class Input {
 public:
  // The most any read looks at beyond what it consumes: a whole line of the longest length a
  // program may ask for, with its CR LF.
  static constexpr std::size_t max_look_ahead = 256;
  // A buffer must hold more than the look-ahead, so that a refill always has room.
  static constexpr std::size_t min_buffer_size = 2 * max_look_ahead;

  // `tied`, when given, is flushed before every wait for more input, so that whoever feeds
  // the program sees the answers to what it has sent so far.
  Input(Source& source, std::span<char> buffer, Output* tied = nullptr);

  // Skips white space, then reads an optionally signed decimal number of 32 bits.
  std::int32_t whole();

  // Skips white space, then reads an optionally signed decimal real with optional fraction and
  // exponent, rounded once to single precision. It must be finite in single precision.
  float real();

  // Reads the rest of the current line, which must be at most `longest` characters (with
  // longest + 2 at most max_look_ahead), and consumes its line feed; a carriage return right
  // before the line feed is not part of it. The view is valid until the next read.
  std::string_view line(std::size_t longest);

  // For a program that takes many lines at once: the whole lines already read from the
  // current position on, each with its line feed, all that the buffer holds. When it holds
  // none, reads until it does, the input ends, or max_look_ahead bytes hold no line feed;
  // the view is empty then, and line() reads or refuses what is left. It is valid until the
  // next read.
  std::string_view buffered_lines();

  // Consumes the first `size` bytes of what buffered_lines() gave: `lines` whole lines.
  void skip_lines(std::size_t size, std::int64_t lines);

  // The line the last read ended on, counted from 1. At the end of the input it is the last
  // line there is.
  std::int64_t line_number() const;

  // How many bytes have been read from the source but not consumed: the look-ahead that a
  // reader sharing the source would miss.
  std::size_t unread() const { return static_cast<std::size_t>(end_ - next_); }

 private:
  class Word;

  // The next byte, or -1 at the end of the input.
  int peek() { return next_ != end_ ? static_cast<unsigned char>(*next_) : peek_refill(0); }
  // The byte `ahead` places on (less than max_look_ahead), reading more as needed.
  int peek_refill(std::size_t ahead);
  // Consumes the next byte, which is no line feed.
  char take();
  // Consumes the sign `c` into `word`, if it is one, and peeks at the byte after it; true for
  // a minus.
  bool take_sign(int& c, Word& word);
  bool fill();
  // At the first read: a byte-order mark, if the input starts with one.
  void start_text();
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
  bool started_ = false;
  bool line_open_ = false;  // something of the current line has been consumed
  std::int64_t line_ = 1;
};

}  // namespace console
