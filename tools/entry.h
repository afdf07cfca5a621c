// The one process entry of every tool.
#pragma once

#include <string_view>

namespace qcp {

// Runs the tool's Main, then the window message loop where the tool has
// windows. Every normal end gives status 0. An uncaught run-time failure
// ends the run with one line on standard error naming the tool and the
// failure, and status 1; it never shows a dialog that would hang a batch file.
int RunTool(int argc, char** argv, std::u16string_view name, void (*main)(), void (*message_loop)());

}  // namespace qcp
