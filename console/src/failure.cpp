#include "console/failure.hpp"

namespace console {

void refuse(std::int64_t line, std::string_view expected, std::string_view found) {
  std::string message = "expected ";
  message.append(expected).append(", found ").append(found);
  throw Failure(line, std::move(message));
}

}  // namespace console
