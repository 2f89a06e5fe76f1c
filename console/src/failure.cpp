#include "console/failure.hpp"

#include <utility>

namespace console {

void refuse(std::int64_t line, std::string_view expected, std::string_view found) {
  std::string message = "expected ";
  message.append(expected).append(", found ").append(found);
  throw Failure(line, std::move(message));
}

void refuse_count(std::int64_t line, std::size_t most, std::string_view things,
                  std::int64_t count) {
  std::string expected = "at most " + std::to_string(most) + " ";
  expected.append(things);
  refuse(line, expected, std::to_string(count));
}

}  // namespace console
