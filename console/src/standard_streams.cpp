#include "console/standard_streams.hpp"

#include <cerrno>
#include <cstring>
#include <string>

#include "console/failure.hpp"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace console {
namespace {

#ifdef _WIN32
// The C runtime's descriptors in text mode: CR LF becomes a line feed on the way in and
// back on the way out.
long read_fd(int fd, char* data, std::size_t size) {
  return _read(fd, data, static_cast<unsigned>(size > 1u << 30 ? 1u << 30 : size));
}
long write_fd(int fd, const char* data, std::size_t size) {
  return _write(fd, data, static_cast<unsigned>(size > 1u << 30 ? 1u << 30 : size));
}
#else
long read_fd(int fd, char* data, std::size_t size) {
  return ::read(fd, data, size);
}
long write_fd(int fd, const char* data, std::size_t size) {
  return ::write(fd, data, size);
}
#endif

}  // namespace

int write_all_to(int fd, std::string_view text) {
  while (!text.empty()) {
    const long written = write_fd(fd, text.data(), text.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

std::size_t StandardInput::read_some(char* data, std::size_t size) {
  for (;;) {
    const long got = read_fd(0, data, size);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) throw Failure(0, std::string("read error: ") + std::strerror(errno));
  }
}

int StandardOutput::write_all(const char* data, std::size_t size) {
  return write_all_to(1, {data, size});
}

void write_error(std::string_view text) {
  (void)write_all_to(2, text);
}

}  // namespace console
