// Names the vector path helixmate-stream takes on this processor, and the others it could.
#include <cstdio>

#include "strand_lines.hpp"

int main() {
  const auto paths = helixmate::mate_paths();
  std::printf("%s (this processor also runs:", paths.front().name);
  for (const auto& path : paths.subspan(1))
    std::printf(" %s", path.name);
  std::printf(")\n");
}
