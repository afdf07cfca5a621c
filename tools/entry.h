// The one process entry of every tool, and what a tool declares to it.
#pragma once

#include <string_view>

#include "tools/std_output.h"

namespace qcp {

// A tool's Main: the command-line tail (program name and the blanks after it
// removed) and the run's one console writer.
using ToolMain = void (*)(std::u16string_view tail, IPrintTarget& out);

// What each tool file declares as its `kTool`.
struct ToolEntry {
  std::u16string_view name;  // as the run-time error line names the tool
  ToolMain main;
  // Delivers window events until the tool's last window has gone; only the
  // tools that live on in a window of their own have one.
  void (*event_loop)() = nullptr;
};

// Takes the tail from the platform, builds the writer, runs Main and then
// the tool's event loop. Every normal end gives status 0. An uncaught
// run-time failure ends the run with one line on standard error naming the
// tool and the failure, and status 1; it never shows a dialog that would
// hang a batch file.
int RunTool(int argc, char** argv, const ToolEntry& tool);

}  // namespace qcp
