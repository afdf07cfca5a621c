// The one process entry of every tool, and the declaration each tool gives it.
#pragma once

#include <span>
#include <string_view>

#include "tools/std_output.h"

namespace qcp {

// How a run ended. Natively it is the exit status; on Windows every normal
// end gives 0, as it always has.
enum class Status : int {
  kDone = 0,     // did what was asked, or showed the help that was asked for
  kFailed = 1,   // printed an ERROR! line, or could not do what was asked
  kMissing = 2,  // showed the help screen because arguments were missing
};

// When a tool shows its help screen instead of working.
enum class HelpRule {
  kHelpSwitch,         // "/?" anywhere in the tail: help that was asked for
  // The same, and natively also any word that begins with a dash: for tools
  // that act at once and take no arguments (ending or locking the session),
  // where "-h" or "--Help" must not be taken as "go ahead". Status 2.
  kHelpSwitchOrDash,
  kEmptyTail,          // nothing at all
  kFewerThanTwoWords,  // split at single blanks, fewer than two words
  kExactlyTwoWords,    // anything but exactly two words
};

// A tool's Main: the tail (quotes removed if the tool declares so) and the
// run's one console writer. Only called once the help rule has let the tail
// through.
using ToolMain = Status (*)(std::u16string_view tail, IPrintTarget& out);

// What each tool declares, once: the entry, the tests and the manual pages
// all read it. A tool Foo defines it as qcp::entries::kFoo.
struct ToolEntry {
  std::u16string_view name;  // as the program is called and errors name it
  // The help screen after the banner: the usage line written as on Windows
  // ("    Foo.exe <x>"), then the description lines with their blanks.
  std::span<const std::u16string_view> help;
  HelpRule help_rule;
  bool removes_quotes;  // whether Main sees the tail with every '"' removed
  ToolMain main;
  // Delivers window events until the tool's last window has gone, then tells
  // how the run went; only the tools that live on in a window have one.
  Status (*event_loop)() = nullptr;
  // Natively, for the window tools: prints the captions of the windows open
  // now, one a line, for "--list-captions" (shell completion).
  Status (*list_captions)(IPrintTarget& out) = nullptr;
};

// Whether `tail` (cleaned as the tool declares) calls for the help screen.
bool ShowsHelp(HelpRule rule, std::u16string_view tail);

// The tool's help screen, the banner first.
void PrintToolHelp(const ToolEntry& tool, IPrintTarget& out);

// Everything a run does with its tail, in-process: natively the reserved
// tails "--help", "--version" and (for the window tools) "--list-captions" first, then the help rule, the cleaning and
// Main. Failures propagate to the caller.
Status RunTail(const ToolEntry& tool, std::u16string_view tail, IPrintTarget& out);

// Takes the tail from the platform, builds the writer, runs the tail and then
// the tool's event loop, and gives the exit status: natively the run's
// Status, on Windows 0 for every normal end. An uncaught run-time failure
// ends the run with one line on standard error naming the tool and the
// failure, and status 1; it never shows a dialog that would hang a batch file.
int RunTool(int argc, char** argv, const ToolEntry& tool);

}  // namespace qcp
