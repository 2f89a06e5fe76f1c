// helixmate: reads N strands, then prints the complementary strand of each.
//
// Input: the count N (at most 99) on the first line, then N lines of base letters.
// Output: each strand with A and T exchanged and C and G exchanged, in input order; other
// characters are kept as they are.

#include <array>
#include <cstdint>
#include <string_view>

#include "bases.hpp"
#include "console/frame.hpp"

namespace {

constexpr std::size_t max_strands = 99;

// A strand line as it is written: its characters, then a line feed.
struct Strand {
  std::array<char, helixmate::max_strand_length + 1> text;
  std::size_t length;  // with the line feed
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
    console::refuse_count(in.line_number(), max_strands, "strands", count);
  }
  (void)in.line(helixmate::max_strand_length);  // the rest of the count's line is no strand
  for (std::size_t i = 0; i < strands.count; ++i) {
    const std::string_view line = in.line(helixmate::max_strand_length);
    Strand& strand = strands.strand[i];
    line.copy(strand.text.data(), line.size());
    strand.text[line.size()] = '\n';
    strand.length = line.size() + 1;
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
  }
}

void job(console::Input& in, console::Output& out) {
  Strands strands = read_strands(in);
  complement(strands);
  write_strands(strands, out);
}

// What --help says of it.
constexpr std::string_view help =
    "Print the complementary strand of each of N DNA strands, once all are read.\n"
    "\n"
    "Input: the count N (at most 99) on the first line, whose rest is ignored, then N\n"
    "lines of at most 254 characters.\n"
    "Output: each strand with A and T exchanged and C and G exchanged, one line each;\n"
    "other characters stay as they are.\n";

}  // namespace

int main(int argc, char** argv) {
  return console::run({"helixmate", help, job}, argc, argv);
}
