#include "console/frame.hpp"

#include <cstring>
#include <optional>
#include <string>

#include "pause.hpp"
#include "standard_streams.hpp"

namespace console {
namespace {

// Large enough that a stream of any length takes few system calls; static, so the stack of
// the original platform's small console programs is never at stake. The output holds the
// answers to a whole buffer of input, as large as it, and a reservation beyond: a program
// that answers many lines at once writes them with one call.
char input_buffer[1 << 17];
char output_buffer[sizeof input_buffer + Output::max_reserve];

// What --help shows: the program's own lines between the usage and what every program shares.
std::string help_text(const Program& program) {
  std::string text = "Usage: ";
  text.append(program.name).append(" < FILE\n").append(program.help);
  text.append(
      "\nInput that breaks the layout is refused: one line on standard error,\n"
      "  ");
  text.append(program.name)
      .append(
          ": line N: expected ..., found ...\n"
          "and nothing more is written. The exit status is 0 after a result, 1 after a\n"
          "refusal or when the input cannot be read or the output written. When standard\n"
          "input is a terminal, the program waits for a key before it ends.\n"
          "\n"
          "      --help     display this help and exit\n"
          "      --version  output version information and exit\n"
          "\n"
          "Full documentation: man ");
  text.append(program.name).append("\n");
  return text;
}

// What the command line asks for, when it asks for something: --help or --version.
std::string_view option(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--") break;
    if (arg == "--help" || arg == "--version") return arg;
  }
  return {};
}

void report(std::string_view name, const Failure& failure) {
  std::string line(name);
  line += ": ";
  if (failure.line() > 0) line += "line " + std::to_string(failure.line()) + ": ";
  line += failure.message();
  line += '\n';
  write_error(line);
}

// Writes the answer to --help or --version; 0, or 1 when it cannot be written.
int answer(const Program& program, std::string_view asked) {
  const std::string text =
      asked == "--help" ? help_text(program)
                        : std::string(program.name) + " (console programs) " + CONSOLE_VERSION "\n";
  if (const int error = write_all_to(1, text); error != 0) {
    report(program.name, Failure(0, std::string("write error: ") + std::strerror(error)));
    return 1;
  }
  return 0;
}

}  // namespace

int run(const Program& program, int argc, const char* const* argv) {
  if (const std::string_view asked = option(argc, argv); !asked.empty()) {
    return answer(program, asked);
  }
  const std::string_view name = program.name;
  if (argc > 1) {
    std::string ignored(name);
    ignored.append(": arguments are ignored; the input is read from standard input (")
        .append(name)
        .append(" < FILE)\n");
    write_error(ignored);
  }
  StandardInput source;
  StandardOutput sink;
  Output out(sink, output_buffer);
  Input in(source, input_buffer, &out);
  int status = 0;
  try {
    program.job(in, out);
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
