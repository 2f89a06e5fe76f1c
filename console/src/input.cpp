#include "console/input.hpp"

#include <algorithm>
#include <array>
#include <cassert>
#include <cfloat>
#include <charconv>
#include <cstring>
#include <string>

#include "console/failure.hpp"
#include "console/output.hpp"

namespace console {
namespace {

// White space as C's isspace takes it in the C locale.
constexpr bool is_space(int c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}
constexpr bool is_digit(int c) {
  return c >= '0' && c <= '9';
}

constexpr std::array<float, 11> powers_of_ten = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                                 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};

// Significant digits kept of a real: more than any value halfway between two floats needs,
// so that keeping them and marking the rest as non-zero rounds as the whole would.
constexpr std::size_t kept_digits = 200;

// A written exponent saturates here: far beyond the scale any input's length can give (one
// step per digit read), and far enough from the 64-bit limit that the two add safely.
constexpr std::int64_t exponent_cap = std::int64_t{1} << 60;

// Decimal magnitudes (the power of ten just above the value) beyond which a float is out of
// reach: above 10^39 nothing is finite, below 10^-46 everything rounds to zero.
constexpr std::int64_t largest_magnitude = 39;
constexpr std::int64_t smallest_magnitude = -46;

// Out of the readers' way: failures are rare, and their messages long to build.
[[noreturn, gnu::cold]] void read_failed(int error) {
  throw Failure(0, std::string("read error: ") + std::strerror(error));
}

[[noreturn, gnu::cold]] void refuse_long_line(std::int64_t line, std::size_t longest) {
  refuse(line, "a line of at most " + std::to_string(longest) + " characters", "a longer one");
}

}  // namespace

// The first characters of the word being read, for a refusal to show.
class Input::Word {
 public:
  static constexpr std::size_t shown = 24;

  char add(char c) {
    if (size_ < text_.size()) {
      text_[size_++] = c;
    } else {
      cut_ = true;
    }
    return c;
  }

  bool full() const { return size_ == text_.size(); }
  bool empty() const { return size_ == 0; }
  std::string_view text() const { return {text_.data(), size_}; }
  bool cut() const { return cut_; }

  // In double quotes, escaped so that it stays one printable line; "..." when cut short.
  std::string quoted(bool more) const {
    constexpr std::string_view hex = "0123456789abcdef";
    std::string quoted = "\"";
    for (const char c : text()) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte == '"' || byte == '\\') {
        quoted += '\\';
        quoted += c;
      } else if (byte > ' ' && byte < 0x7f) {
        quoted += c;
      } else {
        quoted += "\\x";
        quoted += hex[byte >> 4];
        quoted += hex[byte & 0xf];
      }
    }
    return quoted + (more ? "...\"" : "\"");
  }

 private:
  std::array<char, shown> text_;
  std::size_t size_ = 0;
  bool cut_ = false;
};

Input::Input(Source& source, std::span<char> buffer, Output* tied)
    : source_(source),
      tied_(tied),
      begin_(buffer.data()),
      next_(buffer.data()),
      end_(buffer.data()),
      limit_(buffer.data() + buffer.size()) {
  static_assert(min_buffer_size > max_look_ahead);
  assert(buffer.size() >= min_buffer_size);
}

bool Input::fill() {
  if (source_done_) return false;
  if (tied_ != nullptr) tied_->flush();
  if (next_ != begin_) {
    const auto unread = end_ - next_;
    std::memmove(begin_, next_, static_cast<std::size_t>(unread));
    next_ = begin_;
    end_ = begin_ + unread;
  }
  // A read of no bytes would look like the end of the input. There is always room: no read
  // looks max_look_ahead bytes past what it consumed, and the buffer holds more than that.
  assert(end_ - begin_ < static_cast<std::ptrdiff_t>(max_look_ahead));
  const Source::Result got = source_.read_some(end_, static_cast<std::size_t>(limit_ - end_));
  if (got.error != 0) read_failed(got.error);
  if (got.size == 0) {
    source_done_ = true;
    return false;
  }
  end_ += got.size;
  if (!started_) start_text();
  return true;
}

void Input::start_text() {
  started_ = true;
  // More is read only while the bytes so far may begin a mark.
  const int first = peek_refill(0);
  if (first == 0xef && peek_refill(1) == 0xbb && peek_refill(2) == 0xbf) {
    next_ += 3;
  } else if ((first == 0xff && peek_refill(1) == 0xfe) ||
             (first == 0xfe && peek_refill(1) == 0xff)) {
    refuse(1, "text in ASCII or UTF-8", "a UTF-16 byte-order mark (save the file as UTF-8)");
  }
}

int Input::peek_refill(std::size_t ahead) {
  assert(ahead < max_look_ahead);
  while (static_cast<std::size_t>(end_ - next_) <= ahead) {
    if (!fill()) return -1;
  }
  return static_cast<unsigned char>(next_[ahead]);
}

char Input::take() {
  line_open_ = true;
  return *next_++;
}

bool Input::take_sign(int& c, Word& word) {
  if (c != '+' && c != '-') return false;
  const bool negative = c == '-';
  word.add(take());
  c = peek();
  return negative;
}

void Input::skip_space() {
  // Straight over the buffer, refilled when the blanks reach its end.
  do {
    char* const start = next_;
    char* const end = end_;
    char* at = start;
    for (; at != end && is_space(*at); ++at)
      line_ += *at == '\n';
    if (at != start) line_open_ = at[-1] != '\n';
    next_ = at;
  } while (next_ == end_ && fill());
}

std::int64_t Input::line_number() const {
  const bool past_last_line = !line_open_ && source_done_ && next_ == end_;
  return past_last_line && line_ > 1 ? line_ - 1 : line_;
}

void Input::refuse_word(std::string_view expected, std::string_view word_start, bool cut) {
  Word word;
  for (const char c : word_start)
    word.add(c);
  int c = peek();
  while (c != -1 && !is_space(c) && !word.full()) {
    word.add(take());
    c = peek();
  }
  const bool more = cut || word.cut() || (c != -1 && !is_space(c));
  refuse(line_number(), expected, word.empty() ? "end of input" : word.quoted(more));
}

std::int32_t Input::whole() {
  skip_space();
  Word word;
  int c = peek();
  const bool negative = take_sign(c, word);
  if (!is_digit(c)) refuse_word("a whole number", word.text());

  const std::uint64_t largest = negative ? std::uint64_t{1} << 31 : (std::uint64_t{1} << 31) - 1;
  std::uint64_t magnitude = 0;
  bool too_large = false;
  // Straight over the buffer, refilled when the digits reach its end.
  line_open_ = true;
  do {
    char* const end = end_;
    char* at = next_;
    for (; at != end && is_digit(*at); ++at) {
      magnitude = magnitude * 10 + static_cast<std::uint64_t>(word.add(*at) - '0');
      if (magnitude > largest) {
        too_large = true;
        magnitude = largest;
      }
    }
    next_ = at;
  } while (next_ == end_ && fill());
  if (too_large) {
    refuse_word("a whole number from -2147483648 to 2147483647", word.text(), word.cut());
  }
  const auto value = static_cast<std::int64_t>(magnitude);
  return static_cast<std::int32_t>(negative ? -value : value);
}

float Input::real() {
  skip_space();
  // The value is sign * digits * 10^scale, with leading zeros dropped from digits.
  std::array<char, kept_digits + 1> digits;
  std::size_t count = 0;
  std::uint64_t mantissa = 0;  // the digits as a number, while they are few
  std::int64_t scale = 0;
  bool dropped_nonzero = false;
  bool any_digit = false;
  Word word;
  auto add_digit = [&](char digit, bool in_fraction) {
    any_digit = true;
    if (count == 0 && digit == '0') {
      if (in_fraction) --scale;
    } else if (count < kept_digits) {
      digits[count++] = digit;
      mantissa = mantissa * 10 + static_cast<std::uint64_t>(digit - '0');
      if (in_fraction) --scale;
    } else {
      dropped_nonzero = dropped_nonzero || digit != '0';
      if (!in_fraction) ++scale;
    }
  };

  int c = peek();
  const bool negative = take_sign(c, word);
  while (is_digit(c)) {
    add_digit(word.add(take()), false);
    c = peek();
  }
  if (c == '.') {
    word.add(take());
    c = peek();
    while (is_digit(c)) {
      add_digit(word.add(take()), true);
      c = peek();
    }
  }
  if (!any_digit) refuse_word("a real number", word.text());

  // An exponent counts only when digits follow its letter and sign.
  if (c == 'e' || c == 'E') {
    const int after = peek_refill(1);
    const bool signed_exponent = after == '+' || after == '-';
    if (is_digit(signed_exponent ? peek_refill(2) : after)) {
      word.add(take());
      if (signed_exponent) word.add(take());
      std::int64_t exponent = 0;
      c = peek();
      while (is_digit(c)) {
        const char digit = word.add(take());
        exponent = exponent < exponent_cap / 10 ? exponent * 10 + (digit - '0') : exponent_cap;
        c = peek();
      }
      scale += after == '-' ? -exponent : exponent;
    }
  }

  if (count == 0) return negative ? -0.0f : 0.0f;
#if FLT_EVAL_METHOD == 0
  // Few digits and a small scale: one exact operand, one exactly rounded operation.
  if (count <= 8 && mantissa <= (1u << 24) && scale >= -10 && scale <= 10) {
    const auto whole_digits = static_cast<float>(mantissa);
    const float power = powers_of_ten[static_cast<std::size_t>(scale < 0 ? -scale : scale)];
    const float value = scale < 0 ? whole_digits / power : whole_digits * power;
    return negative ? -value : value;
  }
#endif
  // The value lies in [10^(magnitude-1), 10^magnitude): decide the far cases here, so that
  // the conversion below only ever sees a small exponent.
  const std::int64_t magnitude = static_cast<std::int64_t>(count) + scale;
  if (magnitude > largest_magnitude) {
    refuse_word("a real number within single precision", word.text(), word.cut());
  }
  if (magnitude < smallest_magnitude) return negative ? -0.0f : 0.0f;
  if (dropped_nonzero) {
    digits[count++] = '1';
    --scale;
  }
  // Digits, then the exponent, as one decimal that from_chars rounds once to float.
  std::array<char, kept_digits + 32> text;
  std::size_t length = 0;
  if (negative) text[length++] = '-';
  std::memcpy(text.data() + length, digits.data(), count);
  length += count;
  text[length++] = 'e';
  const auto exponent_end = std::to_chars(text.data() + length, text.data() + text.size(), scale);
  float value = 0;
  const auto [end, error] = std::from_chars(text.data(), exponent_end.ptr, value);
  (void)end;
  if (error == std::errc::result_out_of_range) {
    // Too small rounds to zero; too large has no single-precision value.
    if (magnitude <= 0) return negative ? -0.0f : 0.0f;
    refuse_word("a real number within single precision", word.text(), word.cut());
  }
  return value;
}

std::string_view Input::buffered_lines() {
  for (;;) {
    const std::string_view unread(next_, static_cast<std::size_t>(end_ - next_));
    const std::size_t last_feed = unread.rfind('\n');
    if (last_feed != std::string_view::npos) return unread.substr(0, last_feed + 1);
    if (unread.size() >= max_look_ahead || !fill()) return {};
  }
}

void Input::skip_lines(std::size_t size, std::int64_t lines) {
  assert(size <= unread() && (size == 0 || next_[size - 1] == '\n'));
  assert(std::count(next_, next_ + size, '\n') == lines);
  next_ += size;
  line_ += lines;
  if (lines > 0) line_open_ = false;
}

std::string_view Input::line(std::size_t longest) {
  const std::size_t whole_line = longest + 2;  // the characters, then CR LF
  assert(whole_line <= max_look_ahead);
  for (;;) {
    const auto available = static_cast<std::size_t>(end_ - next_);
    char* const feed =
        static_cast<char*>(std::memchr(next_, '\n', std::min(available, whole_line)));
    if (feed != nullptr || available >= whole_line || !fill()) {
      const char* stop = feed != nullptr ? feed : end_;
      auto length = static_cast<std::size_t>(stop - next_);
      if (feed != nullptr && length > 0 && feed[-1] == '\r') --length;
      if (length > longest || (feed == nullptr && available >= whole_line)) {
        refuse_long_line(line_, longest);
      }
      if (feed == nullptr && available == 0 && !line_open_) {
        refuse(line_number(), "a line", "end of input");
      }
      const std::string_view text(next_, length);
      next_ = feed != nullptr ? feed + 1 : end_;
      ++line_;
      line_open_ = false;
      return text;
    }
  }
}

}  // namespace console
