#include "standard_streams.hpp"

#include <cerrno>

#ifdef _WIN32
#include <io.h>
#else
#include <poll.h>
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
constexpr short to_read = 0;
constexpr short to_write = 0;
// Only an interruption; no descriptor of the console runtime is non-blocking.
bool waited(int, short) {
  return errno == EINTR;
}
#else
long read_fd(int fd, char* data, std::size_t size) {
  return ::read(fd, data, size);
}
long write_fd(int fd, const char* data, std::size_t size) {
  return ::write(fd, data, size);
}
constexpr short to_read = POLLIN;
constexpr short to_write = POLLOUT;
// After an interruption, or on a descriptor that a parent left non-blocking, until it is
// ready for `events`: the run then goes on as on a blocking one. False for any other error.
bool waited(int fd, short events) {
  if (errno == EINTR) return true;
  if (errno != EAGAIN && errno != EWOULDBLOCK) return false;
  pollfd ready{fd, events, 0};
  while (::poll(&ready, 1, -1) < 0) {
    if (errno != EINTR) return false;
  }
  return true;
}
#endif

}  // namespace

int write_all_to(int fd, std::string_view text) {
  while (!text.empty()) {
    const long written = write_fd(fd, text.data(), text.size());
    if (written < 0) {
      const int error = errno;
      if (waited(fd, to_write)) continue;
      return error;
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

Source::Result StandardInput::read_some(char* data, std::size_t size) {
  for (;;) {
    const long got = read_fd(0, data, size);
    if (got >= 0) return {static_cast<std::size_t>(got), 0};
    const int error = errno;
    if (!waited(0, to_read)) return {0, error};
  }
}

void StandardInput::give_back(std::size_t size) {
#ifdef _WIN32
  // In text mode the bytes read are not the bytes of the file: leave the offset alone.
  (void)size;
#else
  if (size > 0) (void)::lseek(0, -static_cast<off_t>(size), SEEK_CUR);
#endif
}

int StandardOutput::write_all(const char* data, std::size_t size) {
  if (size > 0) line_open_ = data[size - 1] != '\n';
  return write_all_to(1, {data, size});
}

void write_error(std::string_view text) {
  (void)write_all_to(2, text);
}

}  // namespace console
