#include "tools/help.h"

#include <string>

#include "platform/console.h"
#include "tools/products.h"

namespace qcp {

namespace {

// The banner line, the same in every tool of the pack: two blanks, the pack's
// name, " - " and its web address.
std::u16string Banner() {
  std::u16string banner = u"  ";
  banner += kPackProduct;
  banner += u" - ";
  banner += kPackWebAddress;
  return banner;
}

}  // namespace

std::u16string UsageAsCalled(std::u16string_view line, std::u16string_view suffix) {
  constexpr std::u16string_view kWindowsSuffix = u".exe";
  const std::size_t start = line.find_first_not_of(u' ');
  if (start == line.npos) return std::u16string(line);
  const std::size_t blank = line.find(u' ', start);
  const std::size_t name_end = blank == line.npos ? line.size() : blank;
  const std::u16string_view name = line.substr(start, name_end - start);
  if (name.size() <= kWindowsSuffix.size() || name.substr(name.size() - kWindowsSuffix.size()) != kWindowsSuffix) {
    return std::u16string(line);
  }
  std::u16string called(line.substr(0, name_end - kWindowsSuffix.size()));
  called += suffix;
  called += line.substr(name_end);
  return called;
}

void PrintHelpScreen(IPrintTarget& out, std::span<const std::u16string_view> lines) {
  PrintLine(out, u"");
  PrintLine(out, Banner());
  bool usage = true;
  for (std::u16string_view line : lines) {
    // The usage line is the first; it is written as on Windows and names the
    // program as this platform calls it.
    PrintLine(out, usage ? UsageAsCalled(line, platform::ProgramNameSuffix()) : std::u16string(line));
    usage = false;
  }
}

}  // namespace qcp
