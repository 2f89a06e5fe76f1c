// helixmate-stream: prints the complementary strand of each line as soon as it is read.
//
// Input: the count N, then N lines of base letters; the rest of the count's line is read as
// a line too. Output: per line of at least one character, its base letters with A and T
// exchanged and C and G exchanged, other characters dropped, then a line feed. Each line's
// answer is written out before the program waits for more input.

#include <cstdint>
#include <span>
#include <string_view>

#include "bases.hpp"
#include "console/frame.hpp"
#include "strand_lines.hpp"

namespace {

// The most one line and its line end take, in the input (CR LF) and in the output.
constexpr std::size_t line_bytes = helixmate::max_strand_length + 2;
static_assert(line_bytes + helixmate::mate_slack <= console::Output::max_reserve);

// One line on its own: the last one, without a line feed, or one the layer refuses.
void write_mates(std::string_view line, console::Output& out) {
  if (line.empty()) return;  // an empty line writes nothing, not even a line end
  char* const room = out.reserve(line.size() + 1);
  char* const end = helixmate::write_base_mates(line.data(), line.size(), room);
  *end = '\n';
  out.commit(end + 1);
}

// The whole lines at the start of `lines` whose answers fit `room`: all of them unless the
// output buffer is small, and always the first unless it is too long, since the room holds
// the longest line there may be.
std::string_view fitting(std::string_view lines, std::span<char> room) {
  const std::size_t most = room.size() - helixmate::mate_slack;
  if (lines.size() <= most) return lines;
  return lines.substr(0, lines.rfind('\n', most - 1) + 1);
}

void job(console::Input& in, console::Output& out) {
  // The lines after the count's and the rest of the count's own line, counted in 64 bits so
  // that the largest count cannot overflow.
  for (std::int64_t left = std::int64_t{in.whole()} + 1; left > 0;) {
    // Every whole line already read is answered at once, straight into the output. The
    // lines first: reading more writes out what is pending, and frees the room.
    const std::string_view lines = in.buffered_lines();
    const std::span<char> room = out.room(line_bytes + helixmate::mate_slack);
    const helixmate::Mated mated = helixmate::mate_lines(fitting(lines, room), left, room.data());
    if (mated.lines == 0) {
      // No whole line to take: the last line has no line feed, the next is too long, or
      // the input has ended.
      write_mates(in.line(helixmate::max_strand_length), out);
      --left;
      continue;
    }
    out.commit(mated.end);
    in.skip_lines(mated.taken, mated.lines);
    left -= mated.lines;
  }
}

// What --help says of it.
constexpr std::string_view help =
    "Print the complementary strand of each line as soon as the line is read.\n"
    "\n"
    "Input: the count N on the first line, whose rest is read as a line too, then N\n"
    "lines of at most 254 characters.\n"
    "Output: for each line, its base letters complemented (A and T, C and G exchanged)\n"
    "and every other character dropped, then a line end; an empty line prints nothing.\n";

}  // namespace

int main(int argc, char** argv) {
  return console::run({"helixmate-stream", help, job}, argc, argv);
}
