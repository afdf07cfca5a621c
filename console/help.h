// The help screen: an empty line, the banner line, then the tool's own lines.
#pragma once

#include <initializer_list>
#include <string_view>

#include "console/std_output.h"

namespace qcp {

// The banner line, the same in every tool of the pack.
inline constexpr std::u16string_view kBanner = u"  Quorvex Command Pack - https://www.quorvex.com";

// Prints the empty line, the banner line and then `lines` exactly as given
// (usage line, empty line, description lines, with their leading blanks).
void PrintHelpScreen(IPrintTarget& out, std::initializer_list<std::u16string_view> lines);

}  // namespace qcp
