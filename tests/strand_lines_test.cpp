// helixmate-stream's kernel, on every vector path this processor runs, against a model that
// takes one character at a time.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "bases.hpp"
#include "case_name.hpp"
#include "strand_lines.hpp"

namespace {

using helixmate::mate_paths;
using helixmate::MatePath;
using testing_support::CaseName;

struct Answer {
  std::string out;
  std::size_t taken = 0;
  std::int64_t lines = 0;
};

// Line by line, character by character.
Answer model(std::string_view lines, std::int64_t most) {
  Answer answer;
  while (answer.lines < most) {
    const std::size_t feed = lines.find('\n', answer.taken);
    if (feed == std::string_view::npos) break;
    std::string_view line = lines.substr(answer.taken, feed - answer.taken);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() > helixmate::max_strand_length) break;
    if (!line.empty()) {
      for (const char c : line) {
        if (c == 'A') answer.out += 'T';
        if (c == 'T') answer.out += 'A';
        if (c == 'C') answer.out += 'G';
        if (c == 'G') answer.out += 'C';
      }
      answer.out += '\n';
    }
    answer.taken = feed + 1;
    ++answer.lines;
  }
  return answer;
}

// What a path gives for the lines placed `shift` bytes into its input and its output.
Answer mated(const MatePath& path, std::string_view lines, std::int64_t most, std::size_t shift) {
  std::vector<char> in(shift);
  in.insert(in.end(), lines.begin(), lines.end());
  std::vector<char> out(shift + lines.size() + helixmate::mate_slack);
  char* const start = out.data() + shift;
  const helixmate::Mated result =
      path.mate({in.data() + shift, lines.size()}, most, out.data() + shift);
  return {std::string(start, result.end), result.taken, result.lines};
}

// Names a run for a failure message.
std::string where(const MatePath& path, std::size_t shift) {
  std::string name = path.name;
  name.append(" shifted ").append(std::to_string(shift));
  return name;
}

void expect_same(const Answer& got, const Answer& expected, const std::string& where) {
  EXPECT_EQ(got.taken, expected.taken) << where;
  EXPECT_EQ(got.lines, expected.lines) << where;
  EXPECT_EQ(got.out, expected.out) << where;
}

struct Mix {
  const char* name;
  friend void PrintTo(const Mix& m, std::ostream* os) { *os << m.name; }
  std::string letters;  // what the lines are made of, never a line feed
};

class StrandLinesTest : public testing::TestWithParam<Mix> {};

// Lines of every length from 0 to 254, each once with LF and once with CR LF, at every
// alignment.
TEST_P(StrandLinesTest, EveryPathAnswersEveryLineAsTheModelDoes) {
  const std::string& letters = GetParam().letters;
  std::mt19937 random(254);
  std::string lines;
  for (std::size_t length = 0; length <= helixmate::max_strand_length; ++length) {
    for (const char* const end : {"\n", "\r\n"}) {
      for (std::size_t i = 0; i < length; ++i)
        lines += letters[random() % letters.size()];
      lines += end;
    }
  }
  const Answer expected = model(lines, 1 << 20);
  ASSERT_EQ(expected.lines, 510);
  for (const MatePath& path : mate_paths()) {
    for (std::size_t shift = 0; shift < 64; ++shift) {
      expect_same(mated(path, lines, 1 << 20, shift), expected, where(path, shift));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Kernel, StrandLinesTest,
                         testing::Values(Mix{"bases", "ACGT"}, Mix{"soft_masked", "ACGTacgt"},
                                         Mix{"uncalled", "ACGTACGTACGTN"}, Mix{"returns", "ACGT\r"},
                                         Mix{"nul_and_high_bytes",
                                             std::string("AC\0GT\x80\xff", 7)},
                                         Mix{"other_letters_only", "xyzN-"},
                                         Mix{"every_byte",
                                             [] {
                                               std::string all;
                                               for (int c = 0; c < 256; ++c)
                                                 if (c != '\n') all += static_cast<char>(c);
                                               return all;
                                             }()}),
                         CaseName{});

// Where a span's answers stop: after `most` lines, or before a line that is too long.
struct StopCase {
  const char* name;
  friend void PrintTo(const StopCase& c, std::ostream* os) { *os << c.name; }
  std::string lines;
  std::int64_t most;
  std::size_t taken;
  std::int64_t taken_lines;
};

const std::string letters_254(254, 'G');

class StrandLinesStopTest : public testing::TestWithParam<StopCase> {};

TEST_P(StrandLinesStopTest, EveryPathStopsWhereTheModelDoes) {
  const StopCase& c = GetParam();
  const Answer expected = model(c.lines, c.most);
  ASSERT_EQ(expected.taken, c.taken);
  ASSERT_EQ(expected.lines, c.taken_lines);
  for (const MatePath& path : mate_paths()) {
    for (const std::size_t shift : {std::size_t{0}, std::size_t{1}, std::size_t{63}}) {
      expect_same(mated(path, c.lines, c.most, shift), expected, where(path, shift));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Kernel, StrandLinesStopTest,
    testing::Values(
        StopCase{"the_longest_line", "AC\n" + letters_254 + "\nT\n", 10, 260, 3},
        StopCase{"the_longest_line_with_cr_lf", letters_254 + "\r\nT\n", 10, 258, 2},
        StopCase{"one_too_long", "AC\n" + letters_254 + "G\nT\n", 10, 3, 1},
        StopCase{"one_too_long_with_cr_lf", "AC\nTT\n" + letters_254 + "G\r\nT\n", 10, 6, 2},
        StopCase{"cr_not_before_the_feed_counts", letters_254 + "\rG\n", 10, 0, 0},
        StopCase{"far_too_long", "A\n" + std::string(5000, 'C') + "\n", 10, 2, 1},
        StopCase{"the_first_line_is_the_last", "AC\nGT\n", 1, 3, 1},
        StopCase{"the_last_line_mid_block", std::string(30, '\n') + "A\nC\n", 31, 32, 31},
        StopCase{"the_last_line_ends_a_block", std::string(63, 'A') + "\nC\n", 1, 64, 1},
        StopCase{"more_wanted_than_there_are", "A\n\nC\r\n", 100, 6, 3},
        StopCase{"empty_lines_only", std::string(200, '\n'), 150, 150, 150}),
    CaseName{});

}  // namespace
