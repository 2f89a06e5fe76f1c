#pragma once

// Many strand lines answered at once, for helixmate-stream: a buffer of whole lines in one
// pass, with the vector instructions this processor has.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace helixmate {

// What mate_lines took and wrote.
struct Mated {
  std::size_t taken;   // bytes of input, whole lines
  std::int64_t lines;  // how many lines those are
  char* end;           // the end of what was written
};

// How far beyond the answers mate_lines may write: room it needs and then leaves unused.
constexpr std::size_t mate_slack = 64;

// Answers the whole lines at the start of `lines`, which is empty or ends in a line feed:
// for each line of at least one character (a carriage return right before its line feed
// not counted), its base letters complemented, every other character dropped, then a line
// feed; for an empty line nothing. Takes at most `most` lines (at least 1), and stops before
// a line longer than max_strand_length. `out` has room for lines.size() + mate_slack bytes.
Mated mate_lines(std::string_view lines, std::int64_t most, char* out);

// One way of doing it, for a kind of processor.
struct MatePath {
  const char* name;
  Mated (*mate)(std::string_view lines, std::int64_t most, char* out);
};

// Every path this processor can take, fastest first; mate_lines takes the first.
std::span<const MatePath> mate_paths();

}  // namespace helixmate
