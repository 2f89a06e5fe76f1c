// helixmate: reads N strands, then prints the complementary strand of each.
//
// Input: the count N (at most 99) on the first line, then N lines of base letters.
// Output: each strand with A and T exchanged and C and G exchanged, in input order; other
// characters are kept as they are.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "bases.hpp"
#include "console/frame.hpp"

namespace {

constexpr std::size_t max_strands = 99;

struct Strand {
  std::array<char, console::Input::max_line_length> text;
  std::size_t length;
};

struct Strands {
  std::size_t count = 0;
  std::array<Strand, max_strands> strand;
};

Strands read_strands(console::Input& in) {
  Strands strands;
  const std::int32_t count = in.whole();
  if (count < 0) return strands;  // no line is read
  strands.count = static_cast<std::size_t>(count);
  if (strands.count > max_strands) {
    console::refuse(in.line_number(), "at most 99 strands", std::to_string(count));
  }
  (void)in.line();  // the rest of the count's line is no strand
  for (std::size_t i = 0; i < strands.count; ++i) {
    const std::string_view line = in.line();
    line.copy(strands.strand[i].text.data(), line.size());
    strands.strand[i].length = line.size();
  }
  return strands;
}

void complement(Strands& strands) {
  for (std::size_t i = 0; i < strands.count; ++i) {
    helixmate::mate_in_place(strands.strand[i].text.data(), strands.strand[i].length);
  }
}

void write_strands(const Strands& strands, console::Output& out) {
  for (std::size_t i = 0; i < strands.count; ++i) {
    out.put({strands.strand[i].text.data(), strands.strand[i].length});
    out.put('\n');
  }
}

void helixmate_program(console::Input& in, console::Output& out) {
  Strands strands = read_strands(in);
  complement(strands);
  write_strands(strands, out);
}

}  // namespace

int main() {
  return console::run("helixmate", helixmate_program);
}
