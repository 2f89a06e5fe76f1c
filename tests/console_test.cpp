// The console layer at its edges: numbers, reals, lines, line numbers and formatted output.

#include <gtest/gtest.h>

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "case_name.hpp"
#include "console/failure.hpp"
#include "console/input.hpp"
#include "console/output.hpp"

namespace {

using testing_support::CaseName;

using console::Failure;
using console::Input;
using console::Output;

// Hands out its text `chunk` bytes at a time, as a pipe might.
class TextSource final : public console::Source {
 public:
  TextSource(std::string text, std::size_t chunk) : text_(std::move(text)), chunk_(chunk) {}
  Result read_some(char* data, std::size_t size) override {
    const std::size_t n = std::min({size, chunk_, text_.size() - at_});
    std::memcpy(data, text_.data() + at_, n);
    at_ += n;
    ++reads;
    return {n, 0};
  }
  int reads = 0;

 private:
  std::string text_;
  std::size_t chunk_;
  std::size_t at_ = 0;
};

class TextSink final : public console::Sink {
 public:
  int write_all(const char* data, std::size_t size) override {
    if (error != 0) return error;
    text.append(data, size);
    ++writes;
    return 0;
  }
  std::string text;
  int writes = 0;
  int error = 0;
};

// The longest line the tests read, as the strand programs do.
constexpr std::size_t longest = 254;

// Input over a text, read one byte at a time or in one go, with the smallest buffer so that
// every read crosses refills.
struct Reader {
  Reader(std::string text, std::size_t chunk = 1)
      : source(std::move(text), chunk), buffer(Input::min_buffer_size), in(source, buffer) {}
  TextSource source;
  std::vector<char> buffer;
  Input in;
};

// The refusal a read throws, as "line N: message".
template <typename Read>
std::string refusal(Read read) {
  try {
    read();
  } catch (const Failure& failure) {
    return "line " + std::to_string(failure.line()) + ": " + failure.message();
  }
  return "no refusal";
}

// ---- whole numbers

struct WholeCase {
  const char* name;
  friend void PrintTo(const WholeCase& c, std::ostream* os) { *os << c.name; }
  std::string text;
  std::int32_t value;
  std::string rest;  // the line left after the number
};

class WholeTest : public testing::TestWithParam<WholeCase> {};

TEST_P(WholeTest, ReadsNumberAndLeavesTheRest) {
  for (const std::size_t chunk : {std::size_t{1}, std::size_t{4096}}) {
    Reader r(GetParam().text, chunk);
    EXPECT_EQ(r.in.whole(), GetParam().value) << "chunk " << chunk;
    EXPECT_EQ(r.in.line(longest), GetParam().rest) << "chunk " << chunk;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Console, WholeTest,
    testing::Values(
        WholeCase{"plain", "42\n", 42, ""}, WholeCase{"plus", "+7 x", 7, " x"},
        WholeCase{"minus", "-13", -13, ""}, WholeCase{"minus_zero", "-0", 0, ""},
        WholeCase{"leading_zeros", "007", 7, ""},
        WholeCase{"many_leading_zeros", std::string(600, '0') + "2147483647", 2147483647, ""},
        WholeCase{"largest", "2147483647", 2147483647, ""},
        WholeCase{"smallest", "-2147483648", std::numeric_limits<std::int32_t>::min(), ""},
        WholeCase{"every_white_space", " \t\n\v\f\r\n 5 ", 5, " "},
        WholeCase{"stops_at_letter", "12abc\n", 12, "abc"},
        WholeCase{"stops_at_point", "3.5", 3, ".5"}, WholeCase{"crlf_after", "8\r\nnext", 8, ""},
        WholeCase{"utf8_byte_order_mark_at_the_start", "\xef\xbb\xbf-12 x", -12, " x"}),
    CaseName{});

struct RefusalCase {
  const char* name;
  friend void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }
  std::string text;
  std::string refusal;
};

class WholeRefusalTest : public testing::TestWithParam<RefusalCase> {};

TEST_P(WholeRefusalTest, RefusesWithLineAndWord) {
  Reader r(GetParam().text);
  EXPECT_EQ(refusal([&] { r.in.whole(); }), GetParam().refusal);
}

constexpr const char* range = "expected a whole number from -2147483648 to 2147483647";
constexpr const char* utf16 =
    "line 1: expected text in ASCII or UTF-8, found a UTF-16 byte-order mark (save the file as "
    "UTF-8)";

INSTANTIATE_TEST_SUITE_P(
    Console, WholeRefusalTest,
    testing::Values(
        RefusalCase{"empty", "", "line 1: expected a whole number, found end of input"},
        RefusalCase{"only_space", " \n ", "line 2: expected a whole number, found end of input"},
        RefusalCase{"ends_after_line", "\n\n\n",
                    "line 3: expected a whole number, found end of input"},
        RefusalCase{"letter", "\n\nx7 8", "line 3: expected a whole number, found \"x7\""},
        RefusalCase{"lone_sign", "- 5", "line 1: expected a whole number, found \"-\""},
        RefusalCase{"sign_at_end", "+", "line 1: expected a whole number, found \"+\""},
        RefusalCase{"double_sign", "--5", "line 1: expected a whole number, found \"--5\""},
        RefusalCase{"one_past_largest", "2147483648",
                    std::string("line 1: ") + range + ", found \"2147483648\""},
        RefusalCase{"one_past_smallest", "\n-2147483649",
                    std::string("line 2: ") + range + ", found \"-2147483649\""},
        RefusalCase{"far_too_large", "99999999999999999999999999999999",
                    std::string("line 1: ") + range + ", found \"999999999999999999999999...\""},
        RefusalCase{"control_bytes", "\x01\x7f\"\\",
                    "line 1: expected a whole number, found \"\\x01\\x7f\\\"\\\\\""},
        RefusalCase{"long_word", std::string(40, 'y'),
                    "line 1: expected a whole number, found \"" + std::string(24, 'y') + "...\""},
        RefusalCase{"utf16_little_endian",
                    std::string("\xff\xfe"
                                "5\0",
                                4),
                    utf16},
        RefusalCase{"utf16_big_endian",
                    std::string("\xfe\xff\0"
                                "5",
                                4),
                    utf16},
        RefusalCase{"half_a_byte_order_mark",
                    "\xef\xbb"
                    "5",
                    "line 1: expected a whole number, found \"\\xef\\xbb5\""},
        RefusalCase{"byte_order_mark_after_the_start",
                    " \xef\xbb\xbf"
                    "5",
                    "line 1: expected a whole number, found \"\\xef\\xbb\\xbf5\""}),
    CaseName{});

TEST(Console, NumbersSpreadOverLinesKeepTheirLineNumbers) {
  Reader r("1\n2 3\r\n\n4 x");
  EXPECT_EQ(r.in.whole(), 1);
  EXPECT_EQ(r.in.line_number(), 1);
  EXPECT_EQ(r.in.whole(), 2);
  EXPECT_EQ(r.in.whole(), 3);
  EXPECT_EQ(r.in.line_number(), 2);
  EXPECT_EQ(r.in.whole(), 4);
  EXPECT_EQ(r.in.line_number(), 4);
  EXPECT_EQ(refusal([&] { r.in.whole(); }), "line 4: expected a whole number, found \"x\"");
}

// ---- reals

// A float's bits, so that -0.0 and 0.0 tell apart.
std::uint32_t bits(float value) {
  return std::bit_cast<std::uint32_t>(value);
}

// What C's strtof makes of the text: correctly rounded, straight to float.
float c_float(const std::string& text) {
  return std::strtof(text.c_str(), nullptr);
}

struct RealCase {
  const char* name;
  friend void PrintTo(const RealCase& c, std::ostream* os) { *os << c.name; }
  std::string text;
  std::string rest;
  std::string value_of{};  // where it differs from the text, the text C reads for the value
};

class RealTest : public testing::TestWithParam<RealCase> {};

TEST_P(RealTest, RoundsOnceToFloatAndLeavesTheRest) {
  const std::string& text = GetParam().text;
  const float expected = c_float(GetParam().value_of.empty() ? text : GetParam().value_of);
  for (const std::size_t chunk : {std::size_t{1}, std::size_t{4096}}) {
    Reader r(text, chunk);
    const float value = r.in.real();
    EXPECT_EQ(bits(value), bits(expected)) << text << ": " << value << " != " << expected;
    EXPECT_EQ(r.in.line(longest), GetParam().rest);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Console, RealTest,
    testing::Values(
        RealCase{"whole", "6", ""}, RealCase{"fraction", "7.5", ""},
        RealCase{"no_integer_part", ".5", ""}, RealCase{"no_fraction_digits", "5.", ""},
        RealCase{"signs", "-0.25 +1", " +1"}, RealCase{"negative_zero", "-0.0", ""},
        RealCase{"exponent", "1e3", ""}, RealCase{"signed_exponent", "2.5E-3x", "x"},
        RealCase{"exponent_plus", "1e+2", ""}, RealCase{"rounds_up_to_six", "5.99999999", ""},
        RealCase{"point_one_five", "0.15", ""}, RealCase{"largest", "3.4028235e38", ""},
        RealCase{"halfway_below_overflow", "3.40282356e38", ""},
        RealCase{"smallest_subnormal", "1e-45", ""}, RealCase{"underflows_to_zero", "1e-50", ""},
        RealCase{"negative_underflow", "-1e-99999999999", ""},
        RealCase{"bare_exponent_letter", "1e", "e"},
        RealCase{"exponent_without_digits", "1e+x", "e+x"},
        RealCase{"hex_is_not_read", "0x1p3", "x1p3", "0"},
        RealCase{"many_digits", "0." + std::string(300, '0') + "1e301", ""},
        RealCase{"long_halfway_tail", "16777217." + std::string(250, '0') + "1", ""},
        RealCase{"long_halfway_exact", "16777217" + std::string(250, '0') + "e-250", ""}),
    CaseName{});

TEST(Console, RealsRoundLikeTheCLibrary) {
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> digit(0, 9), length(1, 30), exponent(-60, 45);
  for (int i = 0; i < 20000; ++i) {
    const int digits = length(random), point = digit(random) % digits;
    std::string text;
    for (int n = 0; n < digits; ++n) {
      if (n == point) text += '.';
      text += static_cast<char>('0' + digit(random));
    }
    text += 'e';
    text += std::to_string(exponent(random));
    const float expected = c_float(text);
    if (std::isinf(expected)) continue;
    Reader r(text, 4096);
    const float value = r.in.real();
    ASSERT_EQ(bits(value), bits(expected)) << text;
  }
}

class RealRefusalTest : public testing::TestWithParam<RefusalCase> {};

TEST_P(RealRefusalTest, RefusesWithLineAndWord) {
  Reader r(GetParam().text);
  EXPECT_EQ(refusal([&] { r.in.real(); }), GetParam().refusal);
}

constexpr const char* beyond = "line 1: expected a real number within single precision";

INSTANTIATE_TEST_SUITE_P(
    Console, RealRefusalTest,
    testing::Values(
        RefusalCase{"empty", "", "line 1: expected a real number, found end of input"},
        RefusalCase{"point_alone", ". 5", "line 1: expected a real number, found \".\""},
        RefusalCase{"sign_alone", "-", "line 1: expected a real number, found \"-\""},
        RefusalCase{"nan", "nan", "line 1: expected a real number, found \"nan\""},
        RefusalCase{"infinity", "-inf", "line 1: expected a real number, found \"-inf\""},
        RefusalCase{"above_largest", "3.4028236e38",
                    std::string(beyond) + ", found \"3.4028236e38\""},
        RefusalCase{"far_above", "1e39", std::string(beyond) + ", found \"1e39\""},
        // 100000 * 2^64: an exponent that is not kept from overflowing reads as 0.
        RefusalCase{"huge_exponent", "1e1844674407370955161600000",
                    std::string(beyond) + ", found \"1e1844674407370955161600...\""}),
    CaseName{});

// ---- lines

TEST(Console, LinesEndAtLineFeedWithoutTheCarriageReturnBeforeIt) {
  Reader r("one\r\ntwo\rthree\n\nlast");
  EXPECT_EQ(r.in.line(longest), "one");
  EXPECT_EQ(r.in.line(longest), "two\rthree");
  EXPECT_EQ(r.in.line(longest), "");
  EXPECT_EQ(r.in.line(longest), "last");
  EXPECT_EQ(refusal([&] { r.in.line(longest); }), "line 4: expected a line, found end of input");
}

TEST(Console, RestOfANumbersLineIsALineEvenAtTheEnd) {
  Reader r("3");
  EXPECT_EQ(r.in.whole(), 3);
  EXPECT_EQ(r.in.line(longest), "");
  EXPECT_EQ(refusal([&] { r.in.line(longest); }), "line 1: expected a line, found end of input");
}

TEST(Console, TheLongestLineIsTheReadersChoice) {
  Reader r("abc\nabcd\n");
  EXPECT_EQ(r.in.line(3), "abc");
  EXPECT_EQ(refusal([&] { r.in.line(3); }),
            "line 2: expected a line of at most 3 characters, found a longer one");
}

TEST(Console, EmptyInputHasNoLine) {
  Reader r("");
  EXPECT_EQ(refusal([&] { r.in.line(longest); }), "line 1: expected a line, found end of input");
}

struct LengthCase {
  const char* name;
  friend void PrintTo(const LengthCase& c, std::ostream* os) { *os << c.name; }
  std::string text;
  bool fits;
};

class LineLengthTest : public testing::TestWithParam<LengthCase> {};

TEST_P(LineLengthTest, HoldsAtMost254Characters) {
  for (const std::size_t chunk : {std::size_t{1}, std::size_t{100}, std::size_t{4096}}) {
    Reader r("x\n" + GetParam().text, chunk);
    EXPECT_EQ(r.in.line(longest), "x");
    if (GetParam().fits) {
      EXPECT_EQ(r.in.line(longest), std::string(254, 'a'));
    } else {
      EXPECT_EQ(refusal([&] { r.in.line(longest); }),
                "line 2: expected a line of at most 254 characters, found a longer one");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Console, LineLengthTest,
    testing::Values(LengthCase{"lf_254", std::string(254, 'a') + "\nb", true},
                    LengthCase{"crlf_254", std::string(254, 'a') + "\r\n", true},
                    LengthCase{"last_254", std::string(254, 'a'), true},
                    LengthCase{"lf_255", std::string(255, 'a') + "\n", false},
                    LengthCase{"crlf_255", std::string(255, 'a') + "\r\n", false},
                    LengthCase{"last_255", std::string(255, 'a'), false},
                    LengthCase{"very_long", std::string(5000, 'a') + "\n", false}),
    CaseName{});

TEST(Console, TiedOutputIsFlushedBeforeInputWaits) {
  TextSource source("1\n2\n", 2);
  TextSink sink;
  std::vector<char> in_buffer(Input::min_buffer_size), out_buffer(Output::min_buffer_size);
  Output out(sink, out_buffer);
  Input in(source, in_buffer, &out);
  EXPECT_EQ(in.whole(), 1);
  out.put("one");
  EXPECT_EQ(sink.text, "");
  EXPECT_EQ(source.reads, 1);
  EXPECT_EQ(in.whole(), 2);
  EXPECT_EQ(sink.text, "one");
  EXPECT_EQ(source.reads, 2);
}

// ---- inputs too long to write out

// Hands out each piece's text `times` times over, a buffer at a time, so that a reader meets
// billions of bytes without a test holding them.
class RepeatingSource final : public console::Source {
 public:
  struct Piece {
    std::string text;
    std::size_t times = 1;
  };
  explicit RepeatingSource(std::vector<Piece> pieces) : pieces_(std::move(pieces)) {}
  Result read_some(char* data, std::size_t size) override {
    std::size_t n = 0;
    while (piece_ < pieces_.size()) {
      const Piece& piece = pieces_[piece_];
      const std::size_t fit = std::min((size - n) / piece.text.size(), piece.times - done_);
      if (fit == 0) break;
      if (piece.text.size() == 1) {
        std::memset(data + n, piece.text[0], fit);
      } else {
        for (std::size_t i = 0; i < fit; ++i)
          piece.text.copy(data + n + i * piece.text.size(), piece.text.size());
      }
      n += fit * piece.text.size();
      done_ += fit;
      if (done_ == piece.times) ++piece_, done_ = 0;
    }
    return {n, 0};
  }

 private:
  std::vector<Piece> pieces_;
  std::size_t piece_ = 0;
  std::size_t done_ = 0;
};

// A buffer as large as the programs', so that the billions of bytes take few refills.
struct LongReader {
  explicit LongReader(std::vector<RepeatingSource::Piece> pieces)
      : source(std::move(pieces)), buffer(1 << 17), in(source, buffer) {}
  RepeatingSource source;
  std::vector<char> buffer;
  Input in;
};

TEST(Console, LineNumbersGoOnPast32Bits) {
  LongReader r({{"\n", (std::size_t{1} << 31) + 5}, {"x"}});
  EXPECT_EQ(refusal([&] { r.in.whole(); }),
            "line 2147483654: expected a whole number, found \"x\"");
}

// A billion zeros after the point move the scale as far as the exponent moves it back.
TEST(Console, RealsOfAnyLengthMeetTheirExponent) {
  LongReader near({{"0."}, {"0", 1'000'000'000}, {"5e1000000001"}});
  EXPECT_EQ(near.in.real(), 5.0f);
  LongReader far({{"0."}, {"0", 1'000'000'000}, {"5e1000000050"}});
  EXPECT_EQ(refusal([&] { far.in.real(); }),
            "line 1: expected a real number within single precision, found "
            "\"0.0000000000000000000000...\"");
}

// ---- output

TEST(Console, WholeNumbersPrintLikePrintf) {
  for (const std::int32_t value : {0, 7, -5, 42, -42, 999, 1234, -1234, 2147483647,
                                   std::numeric_limits<std::int32_t>::min()}) {
    for (const int width : {0, 3}) {
      TextSink sink;
      std::vector<char> buffer(Output::min_buffer_size);
      Output out(sink, buffer);
      out.whole(value, width);
      out.flush();
      char expected[32];
      std::snprintf(expected, sizeof expected, width == 0 ? "%d" : "%03d", value);
      EXPECT_EQ(sink.text, expected) << value << " width " << width;
    }
  }
}

TEST(Console, RealsPrintLikePrintf) {
  std::vector<float> values = {
      0.0f,  -0.0f,      0.125f,     0.375f, 0.25f,         2.5f,           0.05f,  -0.04f,
      85.0f, 99.666664f, 1.3333334f, 0.15f,  3.4028235e38f, -3.4028235e38f, 1e-45f, 2147483648.0f};
  std::mt19937 random(7);
  while (values.size() < 200000) {
    const auto bits = static_cast<std::uint32_t>(random());
    float value;
    std::memcpy(&value, &bits, sizeof value);
    if (std::isfinite(value)) values.push_back(value);
    values.push_back(static_cast<float>(static_cast<std::int32_t>(random() % 20001) - 10000) /
                     64.0f);
  }
  TextSink sink;
  std::vector<char> buffer(Output::min_buffer_size);
  Output out(sink, buffer);
  std::string expected;
  for (const float value : values) {
    for (const int decimals : {1, 2}) {
      out.fixed(value, decimals);
      out.put('\n');
      char text[64];
      std::snprintf(text, sizeof text, "%.*f\n", decimals, static_cast<double>(value));
      expected += text;
    }
  }
  out.flush();
  EXPECT_EQ(sink.text, expected);
}

TEST(Console, FullBufferIsWrittenInOrder) {
  TextSink sink;
  std::vector<char> buffer(Output::min_buffer_size);
  Output out(sink, buffer);
  std::string expected;
  for (int i = 0; i < 1000; ++i) {
    out.whole(i);
    out.put(" line\n");
    expected += std::to_string(i) + " line\n";
  }
  out.put(std::string(3000, 'z'));
  expected += std::string(3000, 'z');
  out.flush();
  EXPECT_EQ(sink.text, expected);
  EXPECT_GT(sink.writes, 1);
}

TEST(Console, FailedWriteIsReportedOnceAndDropsThePending) {
  TextSink sink;
  sink.error = ENOSPC;
  std::vector<char> buffer(Output::min_buffer_size);
  Output out(sink, buffer);
  out.put("lost");
  EXPECT_EQ(refusal([&] { out.flush(); }),
            "line 0: write error: " + std::string(std::strerror(ENOSPC)));
  EXPECT_EQ(refusal([&] { out.flush(); }), "no refusal");
}

}  // namespace
