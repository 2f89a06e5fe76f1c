// crestgrid: lists the tops of a grid of heights, the cells not lower than any of their up to
// four orthogonal neighbours.
//
// Input: the row count M and the column count N, then M times N heights, row after row.
// Output: "row column" of every top, counted from 0, in row-major order.

#include <array>
#include <cstdint>
#include <string_view>

#include "console/frame.hpp"

namespace {

constexpr std::size_t max_side = 21;

struct Grid {
  std::size_t rows = 0;
  std::size_t columns = 0;
  std::array<std::array<std::int32_t, max_side>, max_side> height{};
};

struct Position {
  std::int32_t row;
  std::int32_t column;
};

struct Tops {
  std::size_t count = 0;
  std::array<Position, max_side * max_side> at{};
};

Grid read_grid(console::Input& in) {
  Grid grid;
  const std::int32_t rows = in.whole();
  const std::int64_t rows_line = in.line_number();
  const std::int32_t columns = in.whole();
  if (rows <= 0 || columns <= 0) return grid;  // an empty grid: no heights to read
  grid.rows = static_cast<std::size_t>(rows);
  grid.columns = static_cast<std::size_t>(columns);
  if (grid.rows > max_side) console::refuse_count(rows_line, max_side, "rows", rows);
  if (grid.columns > max_side)
    console::refuse_count(in.line_number(), max_side, "columns", columns);
  for (std::size_t r = 0; r < grid.rows; ++r) {
    for (std::size_t c = 0; c < grid.columns; ++c)
      grid.height[r][c] = in.whole();
  }
  return grid;
}

// No neighbour above, below, left or right is strictly higher; diagonals do not count.
bool is_top(const Grid& grid, std::size_t r, std::size_t c) {
  const std::int32_t here = grid.height[r][c];
  if (r > 0 && grid.height[r - 1][c] > here) return false;
  if (r + 1 < grid.rows && grid.height[r + 1][c] > here) return false;
  if (c > 0 && grid.height[r][c - 1] > here) return false;
  if (c + 1 < grid.columns && grid.height[r][c + 1] > here) return false;
  return true;
}

Tops find_tops(const Grid& grid) {
  Tops tops;
  for (std::size_t r = 0; r < grid.rows; ++r) {
    for (std::size_t c = 0; c < grid.columns; ++c) {
      if (is_top(grid, r, c)) {
        tops.at[tops.count++] = {static_cast<std::int32_t>(r), static_cast<std::int32_t>(c)};
      }
    }
  }
  return tops;
}

void write_tops(const Tops& tops, console::Output& out) {
  for (std::size_t i = 0; i < tops.count; ++i) {
    out.whole(tops.at[i].row);
    out.put(' ');
    out.whole(tops.at[i].column);
    out.put('\n');
  }
}

void job(console::Input& in, console::Output& out) {
  const Grid grid = read_grid(in);
  const Tops tops = find_tops(grid);
  write_tops(tops, out);
}

// What --help says of it.
constexpr std::string_view help =
    "List the tops of a grid of heights: the cells no lower than their neighbours\n"
    "above, below, left and right.\n"
    "\n"
    "Input: the row count M and the column count N (at most 21 each), then M times N\n"
    "whole heights, row after row.\n"
    "Output: one line ROW COLUMN per top, counted from 0, in row-major order.\n";

}  // namespace

int main(int argc, char** argv) {
  return console::run({"crestgrid", help, job}, argc, argv);
}
