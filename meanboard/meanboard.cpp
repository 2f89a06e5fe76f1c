// meanboard: ranks ten entrants by the mean of their three marks.
//
// Input: ten groups "number mark mark mark", spread over lines in any way.
// Output: one line "number-mark-mark-mark-mean" per entrant, highest mean first, the mean
// with two decimals.

#include <array>
#include <cstdint>
#include <string_view>
#include <utility>

#include "console/frame.hpp"

namespace {

struct Entrant {
  std::int32_t number;
  std::array<std::int32_t, 3> marks;
  float mean;
};

using Board = std::array<Entrant, 10>;

Board read_board(console::Input& in) {
  Board board{};
  for (Entrant& entrant : board) {
    entrant.number = in.whole();
    std::int64_t sum = 0;  // 64 bits: three 32-bit marks cannot overflow it
    for (std::int32_t& mark : entrant.marks) {
      mark = in.whole();
      sum += mark;
    }
    entrant.mean = static_cast<float>(static_cast<double>(sum) / 3.0);
  }
  return board;
}

// An exchange sort with fixed bounds, comparing means only; equal means may change order.
void rank(Board& board) {
  for (std::size_t i = 0; i + 1 < board.size(); ++i) {
    for (std::size_t j = i + 1; j < board.size(); ++j) {
      if (board[j].mean > board[i].mean) std::swap(board[i], board[j]);
    }
  }
}

void write_board(const Board& board, console::Output& out) {
  for (const Entrant& entrant : board) {
    out.whole(entrant.number);
    for (const std::int32_t mark : entrant.marks) {
      out.put('-');
      out.whole(mark);
    }
    out.put('-');
    out.fixed(entrant.mean, 2);
    out.put('\n');
  }
}

void job(console::Input& in, console::Output& out) {
  Board board = read_board(in);
  rank(board);
  write_board(board, out);
}

// What --help says of it.
constexpr std::string_view help =
    "Rank ten entrants by the mean of their three marks.\n"
    "\n"
    "Input: ten groups of four whole numbers, an entrant's number and three marks,\n"
    "spread over lines in any way.\n"
    "Output: one line NUMBER-MARK-MARK-MARK-MEAN per entrant, from the highest mean\n"
    "down, the mean with two decimals.\n";

}  // namespace

int main(int argc, char** argv) {
  return console::run({"meanboard", help, job}, argc, argv);
}
