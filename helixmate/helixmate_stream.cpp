// helixmate-stream: prints the complementary strand of each line as soon as it is read.
//
// Input: the count N, then N lines of base letters; the rest of the count's line is read as
// a line too. Output: per line of at least one character, its base letters with A and T
// exchanged and C and G exchanged, other characters dropped, then a line feed. Each line's
// answer is written out before the program waits for more input.

#include <cstdint>
#include <string_view>

#include "bases.hpp"
#include "console/frame.hpp"

namespace {

// A line and its line end fit one reservation.
static_assert(helixmate::max_strand_length + 1 <= console::Output::max_reserve);

void write_mates(std::string_view line, console::Output& out) {
  if (line.empty()) return;  // an empty line writes nothing, not even a line end
  char* const room = out.reserve(line.size() + 1);
  char* const end = helixmate::write_base_mates(line.data(), line.size(), room);
  *end = '\n';
  out.commit(end + 1);
}

void job(console::Input& in, console::Output& out) {
  // In 64 bits, so that `i <= count` ends for the largest 32-bit count too.
  const std::int64_t count = in.whole();
  for (std::int64_t i = 0; i <= count; ++i)
    write_mates(in.line(helixmate::max_strand_length), out);
}

}  // namespace

int main() {
  return console::run("helixmate-stream", job);
}
