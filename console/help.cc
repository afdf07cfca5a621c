#include "console/help.h"

namespace qcp {

void PrintHelpScreen(IPrintTarget& out, std::initializer_list<std::u16string_view> lines) {
  PrintLine(out, u"");
  PrintLine(out, kBanner);
  for (std::u16string_view line : lines) PrintLine(out, line);
}

}  // namespace qcp
