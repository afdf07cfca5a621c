// The help screen: an empty line, the banner line, then the tool's own lines.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "tools/std_output.h"

namespace qcp {

// Prints the empty line, the banner line and then `lines` exactly as given
// (usage line, empty line, description lines, with their leading blanks),
// except that the usage line, written as on Windows ("    Beep.exe <...>"),
// names the program as this platform calls it (natively "    Beep <...>").
void PrintHelpScreen(IPrintTarget& out, std::span<const std::u16string_view> lines);

// `line` with the ".exe" ending of its first word replaced by `suffix`;
// unchanged when the first word has no such ending.
std::u16string UsageAsCalled(std::u16string_view line, std::u16string_view suffix);

}  // namespace qcp
