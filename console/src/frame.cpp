#include "console/frame.hpp"

#include <optional>
#include <string>

#include "pause.hpp"
#include "standard_streams.hpp"

namespace console {
namespace {

// Large enough that a stream of any length takes few system calls; static, so the stack of
// the original platform's small console programs is never at stake.
char input_buffer[1 << 17];
char output_buffer[1 << 17];

void report(std::string_view name, const Failure& failure) {
  std::string line(name);
  line += ": ";
  if (failure.line() > 0) line += "line " + std::to_string(failure.line()) + ": ";
  line += failure.message();
  line += '\n';
  write_error(line);
}

}  // namespace

int run(std::string_view name, Program program) {
  StandardInput source;
  StandardOutput sink;
  Output out(sink, output_buffer);
  Input in(source, input_buffer, &out);
  int status = 0;
  try {
    program(in, out);
    out.flush();
  } catch (const Failure& failure) {
    status = 1;
    // What a program that writes as it reads wrote for earlier input stays written, before
    // the refusal; if it cannot be written, that is reported after the refusal.
    std::optional<Failure> lost;
    try {
      out.flush();
    } catch (const Failure& write_failure) {
      lost = write_failure;
    }
    report(name, failure);
    if (lost) report(name, *lost);
  }
  source.give_back(in.unread());
  pause(sink.line_open());
  return status;
}

}  // namespace console
