// TrashPurge: empties the recycle bin of a drive, with as much of the shell's own UI as the mode asks.
#include "console/command_line.h"
#include "console/numbers.h"
#include "platform/shell.h"
#include "tools/entry.h"
#include "tools/help.h"
#include "tools/std_output.h"

namespace trash_purge {

void ShowUsage(qcp::IPrintTarget& out) {
  qcp::PrintHelpScreen(out, {
      u"    TrashPurge.exe <drive> <mode>",
      u"",
      u"    Empties the recycle bin of the specified drive.",
      u"",
      u"      Mode: 0 = default.",
      u"            1 = No Windows confirmation.",
      u"            2 = No Windows confirmation; no progress UI.",
      u"            3 = No Windows confirmation; no progress UI; no sound.",
  });
}

// The mode is compared as a number, not rounded: 1.5 is no mode at all.
std::uint32_t FlagsForMode(double mode) {
  if (mode == 1) return platform::kSherbNoConfirmation;
  if (mode == 2) return platform::kSherbNoConfirmation | platform::kSherbNoProgressUi;
  if (mode == 3) return platform::kSherbNoConfirmation | platform::kSherbNoProgressUi | platform::kSherbNoSound;
  return 0;
}

void Main(std::u16string_view tail, qcp::IPrintTarget& out) {
  const std::u16string command_line = qcp::CleanCommandLine(tail);
  const std::vector<std::u16string> words = qcp::SplitWords(command_line);
  if (words.size() != 2) {  // an empty command line is one empty word
    ShowUsage(out);
    return;
  }
  const std::uint32_t flags = FlagsForMode(qcp::NumericValue(words[1]));
  platform::SHEmptyRecycleBin(0, words[0], flags);
}

extern const qcp::ToolEntry kTool{u"TrashPurge", &Main};

}  // namespace trash_purge
