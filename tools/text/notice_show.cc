// NoticeShow: shows a message box with an icon and the given text, and waits
// until it is closed.
#include <string>
#include <vector>

#include "console/command_line.h"
#include "console/numbers.h"
#include "platform/dialogs.h"
#include "tools/entry.h"
#include "tools/help.h"
#include "tools/products.h"
#include "tools/std_output.h"

namespace notice_show {

void ShowUsage(qcp::IPrintTarget& out) {
  qcp::PrintHelpScreen(out, {
      u"    NoticeShow.exe <icon> <message>",
      u"",
      u"    Displays a system message box.",
      u"",
      u"      Icon: 0 = Information (default).",
      u"      Icon: 1 = Question.",
      u"      Icon: 2 = Exclamation.",
      u"      Icon: 3 = Critical.",
      u"",
  });
}

// The icon number is compared as it is, not rounded: 1.5 is no icon of its own.
platform::MessageIcon IconOf(double icon) {
  if (icon == 1) return platform::MessageIcon::kQuestion;
  if (icon == 2) return platform::MessageIcon::kWarning;
  if (icon == 3) return platform::MessageIcon::kError;
  return platform::MessageIcon::kInformation;
}

void Main(std::u16string_view tail, qcp::IPrintTarget& out) {
  // Quotes stay: they are part of the icon word and of the message.
  const std::u16string command_line = std::u16string(tail);
  const std::vector<std::u16string> words = qcp::SplitWords(command_line);
  if (words.size() < 2) {  // an empty command line is one empty word
    ShowUsage(out);
    return;
  }
  const std::u16string message = qcp::TextAfterFirstBlank(command_line);
  const platform::MessageIcon icon = IconOf(qcp::NumericValue(words[0]));
  platform::ShowMessageBox(message, std::u16string(qcp::kPingnoteProduct), icon);
}

extern const qcp::ToolEntry kTool{u"NoticeShow", &Main};

}  // namespace notice_show
