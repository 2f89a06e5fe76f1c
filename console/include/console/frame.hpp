#pragma once

#include <string_view>

#include "console/failure.hpp"
#include "console/input.hpp"
#include "console/output.hpp"

namespace console {

// The whole job of one program: read its layout from `in`, compute, write to `out`.
using Program = void (*)(Input& in, Output& out);

// Runs `program` on standard input and output. On a Failure it writes one line,
// "<name>: line <n>: <message>", to standard error. Then it pauses and returns the exit
// status: 0 when the program ended normally, 1 after a failure.
int run(std::string_view name, Program program);

}  // namespace console
