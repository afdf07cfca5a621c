// In-process check of the Win32 backend's conversion to the ANSI code page,
// run under Wine by the end-to-end tests: characters that cp1252 lacks become
// its default character, never a look-alike. Prints one line per wrong row
// and exits 1, or prints "ok" (or "skipped" on another code page).
#include <windows.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "platform/win32/win32_common.h"

namespace {

struct Row {
  std::u16string_view text;
  std::string_view ansi;
};

constexpr Row kRows[] = {
    {u"", ""},
    {u"plain", "plain"},
    {u"Caf\u00e9", "Caf\xe9"},
    {u"\u20ac", "\x80"},                                // the euro sign has a place in cp1252
    {u"\u0100bc\u0106 \u20ac", "?bc? \x80"},            // A and C with accents: not A and C
    {u"\uff02x\uff02", "?x?"},                          // full-width quotes: not real quotes
    {u"a\uff0fb\uff3cc", "a?b?c"},                      // full-width slash and backslash
    {u"\u221e \u2260", "? ?"},                          // not 8 and not =
};

}  // namespace

int main() {
  if (::GetACP() != 1252) {
    std::puts("skipped");
    return 0;
  }
  int wrong = 0;
  for (const Row& row : kRows) {
    const std::vector<char> bytes = platform::AnsiFromUtf16(row.text);
    const std::string_view got(bytes.data(), bytes.size());
    if (got != row.ansi) {
      std::printf("row %d: got \"", static_cast<int>(&row - kRows));
      for (unsigned char c : got) std::printf(c < 0x80 && c >= 0x20 ? "%c" : "\\x%02x", c);
      std::puts("\"");
      ++wrong;
    }
  }
  if (wrong == 0) std::puts("ok");
  return wrong == 0 ? 0 : 1;
}
