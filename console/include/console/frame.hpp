#pragma once

#include <string_view>

#include "console/failure.hpp"
#include "console/input.hpp"
#include "console/output.hpp"

namespace console {

// The whole job of one program: read its layout from `in`, compute, write to `out`.
using Job = void (*)(Input& in, Output& out);

// What the frame needs of a program.
struct Program {
  std::string_view name;
  // What --help says after the usage line: what the program does, its input and output.
  std::string_view help;
  Job job;
};

// Runs the program with its command line. "--help" or "--version" (the first of them, before
// any "--") writes that to standard output and returns 0, reading nothing and not pausing.
// Any other argument is ignored, as ever, but said to be on standard error.
//
// Otherwise it runs the job on standard input and output. On a Failure it writes one line,
// "<name>: line <n>: <message>", to standard error. Then it pauses and returns the exit
// status: 0 when the job ended normally, 1 after a failure.
int run(const Program& program, int argc, const char* const* argv);

}  // namespace console
