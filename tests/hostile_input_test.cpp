// Model-based testing with hostile input: each built program gets a few hundred mutated and
// random inputs (fixed seed and count). Every run must either give exactly what a model of
// the program's layout, written independently with the C library, computes, with status 0,
// or refuse with one line on standard error and status 1, having written nothing
// (helixmate-stream: only the answers to earlier lines).

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "process.hpp"

namespace {

// ---- a model of the layouts, written from their description with the C library

class Text {
 public:
  // A UTF-8 byte-order mark at the very start is no part of the text.
  explicit Text(std::string text) : s_(std::move(text)) {
    if (s_.rfind("\xef\xbb\xbf", 0) == 0) s_.erase(0, 3);
  }

  std::optional<std::int32_t> whole() {
    skip_space();
    std::size_t i = at_;
    if (i < s_.size() && (s_[i] == '+' || s_[i] == '-')) ++i;
    const std::size_t digits = i;
    while (i < s_.size() && is_digit(s_[i]))
      ++i;
    if (i == digits) return std::nullopt;
    const std::string number = s_.substr(at_, i - at_);
    at_ = i;
    std::size_t first = digits;  // leading zeros do not count towards the length
    while (first + 1 < i && s_[first] == '0')
      ++first;
    if (i - first > 10) return std::nullopt;
    const long long value = std::strtoll(number.c_str(), nullptr, 10);
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(value);
  }

  std::optional<float> real() {
    skip_space();
    std::size_t i = at_;
    if (i < s_.size() && (s_[i] == '+' || s_[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < s_.size() && is_digit(s_[i]))
      ++i, ++digits;
    if (i < s_.size() && s_[i] == '.') {
      ++i;
      while (i < s_.size() && is_digit(s_[i]))
        ++i, ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (i < s_.size() && (s_[i] == 'e' || s_[i] == 'E')) {
      std::size_t j = i + 1;
      if (j < s_.size() && (s_[j] == '+' || s_[j] == '-')) ++j;
      if (j < s_.size() && is_digit(s_[j])) {
        while (j < s_.size() && is_digit(s_[j]))
          ++j;
        i = j;
      }
    }
    const std::string number = s_.substr(at_, i - at_);
    at_ = i;
    const float value = std::strtof(number.c_str(), nullptr);
    if (std::isinf(value)) return std::nullopt;
    return value;
  }

  std::optional<std::string> line() {
    const bool at_line_start = at_ == 0 || s_[at_ - 1] == '\n';
    const std::size_t feed = s_.find('\n', at_);
    std::string text;
    if (feed != std::string::npos) {
      text = s_.substr(at_, feed - at_);
      if (!text.empty() && text.back() == '\r') text.pop_back();
      at_ = feed + 1;
    } else if (at_ < s_.size() || (!at_line_start && !last_line_taken_)) {
      text = s_.substr(at_);
      at_ = s_.size();
      last_line_taken_ = true;
    } else {
      return std::nullopt;
    }
    if (text.size() > 254) return std::nullopt;
    return text;
  }

 private:
  static bool is_digit(char c) { return c >= '0' && c <= '9'; }
  void skip_space() {
    while (at_ < s_.size() && (s_[at_] == ' ' || (s_[at_] >= '\t' && s_[at_] <= '\r')))
      ++at_;
  }

  std::string s_;
  std::size_t at_ = 0;
  bool last_line_taken_ = false;
};

// What a program gives for an input: its output, and whether it refuses.
struct Expected {
  std::string out;
  bool refused = false;
};

Expected refusal(std::string out = "") {
  return {std::move(out), true};
}

template <typename... Args>
std::string format(const char* layout, Args... args) {
  char text[128];
  std::snprintf(text, sizeof text, layout, args...);
  return text;
}

Expected meanboard(Text in) {
  struct Row {
    std::int32_t number, a, b, c;
    float mean;
  };
  std::array<Row, 10> rows{};
  for (Row& row : rows) {
    const auto number = in.whole(), a = in.whole(), b = in.whole(), c = in.whole();
    if (!number || !a || !b || !c) return refusal();
    const auto sum = static_cast<std::int64_t>(*a) + *b + *c;
    row = {*number, *a, *b, *c, static_cast<float>(static_cast<double>(sum) / 3.0)};
  }
  for (std::size_t i = 0; i < 9; ++i) {
    for (std::size_t j = i + 1; j < 10; ++j) {
      if (rows[j].mean > rows[i].mean) std::swap(rows[i], rows[j]);
    }
  }
  Expected result;
  for (const Row& r : rows) {
    result.out +=
        format("%d-%d-%d-%d-%.2f\n", r.number, r.a, r.b, r.c, static_cast<double>(r.mean));
  }
  return result;
}

Expected crestgrid(Text in) {
  const auto rows = in.whole();
  if (!rows) return refusal();
  const auto columns = in.whole();
  if (!columns) return refusal();
  if (*rows <= 0 || *columns <= 0) return {};
  if (*rows > 21 || *columns > 21) return refusal();
  std::vector<std::vector<std::int32_t>> height(static_cast<std::size_t>(*rows));
  for (auto& row : height) {
    for (int c = 0; c < *columns; ++c) {
      const auto h = in.whole();
      if (!h) return refusal();
      row.push_back(*h);
    }
  }
  Expected result;
  const auto at = [&](int r, int c) {
    return height[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
  };
  for (int r = 0; r < *rows; ++r) {
    for (int c = 0; c < *columns; ++c) {
      const bool top =
          (r == 0 || at(r - 1, c) <= at(r, c)) && (r + 1 == *rows || at(r + 1, c) <= at(r, c)) &&
          (c == 0 || at(r, c - 1) <= at(r, c)) && (c + 1 == *columns || at(r, c + 1) <= at(r, c));
      if (top) result.out += format("%d %d\n", r, c);
    }
  }
  return result;
}

char mate(char c) {
  return c == 'A' ? 'T' : c == 'T' ? 'A' : c == 'C' ? 'G' : c == 'G' ? 'C' : c;
}

Expected helixmate(Text in) {
  const auto count = in.whole();
  if (!count) return refusal();
  if (*count < 0) return {};
  if (*count > 99) return refusal();
  if (!in.line()) return refusal();
  Expected result;
  for (int i = 0; i < *count; ++i) {
    auto strand = in.line();
    if (!strand) return refusal();
    std::transform(strand->begin(), strand->end(), strand->begin(), mate);
    result.out += *strand + "\n";
  }
  return result;
}

Expected helixmate_stream(Text in) {
  const auto count = in.whole();
  if (!count) return refusal();
  Expected result;
  for (std::int64_t i = 0; i <= *count; ++i) {
    const auto line = in.line();
    if (!line) return refusal(result.out);
    if (line->empty()) continue;
    for (const char c : *line) {
      if (c == 'A' || c == 'C' || c == 'G' || c == 'T') result.out += mate(c);
    }
    result.out += '\n';
  }
  return result;
}

Expected admitlist(Text in) {
  const auto count = in.whole();
  if (!count) return refusal();
  const auto threshold = in.real();
  if (!threshold) return refusal();
  if (*count > 999) return refusal();
  std::vector<std::pair<std::int32_t, float>> admitted;
  for (int i = 0; i < *count; ++i) {
    const auto number = in.whole();
    if (!number) return refusal();
    const auto rating = in.real();
    if (!rating) return refusal();
    if (*rating >= *threshold) admitted.emplace_back(*number, *rating);
  }
  std::stable_sort(admitted.begin(), admitted.end(),
                   [](const auto& a, const auto& b) { return a.second > b.second; });
  if (admitted.empty()) return {"None."};
  Expected result;
  for (const auto& [number, rating] : admitted)
    result.out += format("%03d %.1f\n", number, static_cast<double>(rating));
  return result;
}

// ---- the inputs

struct Program {
  const char* name;
  Expected (*model)(Text);
  std::vector<std::string> seeds;
  friend void PrintTo(const Program& p, std::ostream* os) { *os << p.name; }
};

const std::array<const char*, 19> interesting = {"2147483647",
                                                 "2147483648",
                                                 "-2147483648",
                                                 "-2147483649",
                                                 "0",
                                                 "-1",
                                                 "21",
                                                 "22",
                                                 "99",
                                                 "100",
                                                 "999",
                                                 "1000",
                                                 "1e39",
                                                 "nan",
                                                 "1e-50",
                                                 "3.4028236e38",
                                                 "0000000000000000000000000012",
                                                 "-.5e+2",
                                                 "1e"};
constexpr std::string_view alphabet = "0123456789-+.eE \n\r\t\v\fACGTagtxX\"\\";

class Mutator {
 public:
  explicit Mutator(std::uint32_t seed) : random_(seed) {}

  std::size_t below(std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(random_() % n); }

  char any_byte() {
    return below(4) == 0 ? static_cast<char>(below(256)) : alphabet[below(alphabet.size())];
  }

  std::string random_input() {
    std::string text;
    for (std::size_t n = below(120); n > 0; --n)
      text += any_byte();
    return text;
  }

  std::string mutate(std::string text) {
    for (std::size_t n = 1 + below(4); n > 0; --n) {
      const std::size_t at = below(text.size() + 1);
      switch (below(7)) {
        case 0:
          if (at < text.size()) text[at] = any_byte();
          break;
        case 1:
          text.insert(at, 1, any_byte());
          break;
        case 2:
          text.erase(at, below(8));
          break;
        case 3:
          text.insert(at, text.substr(at, below(40)));
          break;
        case 4:
          text.resize(at);
          break;
        case 5:
          text.insert(at, std::string(" ") + interesting[below(interesting.size())] + " ");
          break;
        default:
          text.insert(at, std::string(250 + below(10), "ACGTx"[below(5)]) + "\n");
          break;
      }
    }
    return text;
  }

 private:
  std::mt19937 random_;
};

// Every input that once made a fuzzer fail, kept for the program.
std::vector<std::string> regressions(const std::string& program) {
  std::vector<std::string> inputs;
  const std::filesystem::path kept = std::filesystem::path(REGRESSION_DIR) / program;
  if (!std::filesystem::is_directory(kept)) return inputs;
  for (const auto& entry : std::filesystem::directory_iterator(kept)) {
    std::ifstream file(entry.path(), std::ios::binary);
    inputs.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  return inputs;
}

class ModelTest : public testing::TestWithParam<Program> {};

TEST_P(ModelTest, EveryInputGivesTheResultOrOneRefusal) {
  const Program& program = GetParam();
  std::vector<std::string> inputs = regressions(program.name);
  Mutator mutator(20261211);
  for (int run = 0; run < 300; ++run) {
    inputs.push_back(run % 5 == 4
                         ? mutator.random_input()
                         : mutator.mutate(program.seeds[mutator.below(program.seeds.size())]));
  }
  int valid = 0, refused = 0;
  for (const std::string& input : inputs) {
    const bool utf16 = input.rfind("\xff\xfe", 0) == 0 || input.rfind("\xfe\xff", 0) == 0;
    const Expected expected = utf16 ? refusal() : program.model(Text(input));
    const auto outcome = testing_support::run_program(program.name, input);
    const std::string shown = testing::PrintToString(input);
    ASSERT_TRUE(outcome.status == 0 || outcome.status == 1) << shown << "\n" << outcome.err;
    if (outcome.status == 0) {
      ++valid;
      ASSERT_FALSE(expected.refused) << shown << "\nshould be refused, gave\n" << outcome.out;
      ASSERT_EQ(outcome.out, expected.out) << shown;
      ASSERT_EQ(outcome.err, "") << shown;
    } else {
      ++refused;
      ASSERT_TRUE(expected.refused) << shown << "\nrefused: " << outcome.err;
      ASSERT_EQ(outcome.out, expected.out) << shown;
      const std::string start = std::string(program.name) + ": line ";
      ASSERT_EQ(outcome.err.rfind(start, 0), 0u) << outcome.err;
      ASSERT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
      ASSERT_EQ(outcome.err.back(), '\n') << outcome.err;
    }
  }
  RecordProperty("valid", valid);
  RecordProperty("refused", refused);
  // The mutations reach both kinds of input.
  EXPECT_GT(valid, 0);
  EXPECT_GT(refused, 0);
}

const std::string board =
    "1 70 80 90\n2 90 85 81\n3 100 100 99\n4 55 60 65\n5 -1 2 3\n6 88 92 79\n7 90 85 80\n8 60 70 "
    "80\n"
    "9 95 90 85\n10 72 68 75\n";

INSTANTIATE_TEST_SUITE_P(
    Hostile, ModelTest,
    testing::Values(
        Program{"meanboard",
                meanboard,
                {board,
                 "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 "
                 "21 22 23 24 25 26 27 28 29 30 31 32 33 34 35 36 37 38 39 40"}},
        Program{"crestgrid",
                crestgrid,
                {"4 6\n1 3 2 5 5 0\n4 2 1 1 6 2\n3 8 2 0 1 7\n2 2 9 9 3 1\n", "2 3\n1 2 1\n3 1 4\n",
                 "1 1 5"}},
        Program{
            "helixmate", helixmate, {"4 rest\nATTGCC\nagTC\n\nGATTACA\n", "2\r\nAC\r\nGT", "0"}},
        Program{"helixmate-stream",
                helixmate_stream,
                {"4 GA\nATTGCC\nagTC\n\nGATTACA\n", "2\r\nAC\r\nGT", "0 T"}},
        Program{"admitlist",
                admitlist,
                {"8 6.0\n101 7.5\n102 5.9\n103 8.2\n104 6.0\n105 9.1\n106 7.5\n7 3.3\n1008 6.25\n",
                 "3 6\n1 5.99999999\n2 0.15\n3 -0", "0 1"}}),
    [](const testing::TestParamInfo<Program>& p) {
      return testing_support::test_name(p.param.name);
    });

}  // namespace
