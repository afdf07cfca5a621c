// NoticeShow: shows a message box with an icon and the given text, and waits
// until it is closed.
#include <string>
#include <vector>

#include "console/command_line.h"
#include "console/numbers.h"
#include "platform/dialogs.h"
#include "tools/entry.h"
#include "tools/products.h"
#include "tools/std_output.h"

namespace notice_show {

constexpr std::u16string_view kHelp[] = {
    u"    NoticeShow.exe <icon> <message>",
    u"",
    u"    Displays a system message box.",
    u"",
    u"      Icon: 0 = Information (default).",
    u"      Icon: 1 = Question.",
    u"      Icon: 2 = Exclamation.",
    u"      Icon: 3 = Critical.",
    u"",
};

// The icon number is compared as it is, not rounded: 1.5 is no icon of its own.
platform::MessageIcon IconOf(double icon) {
  if (icon == 1) return platform::MessageIcon::kQuestion;
  if (icon == 2) return platform::MessageIcon::kWarning;
  if (icon == 3) return platform::MessageIcon::kError;
  return platform::MessageIcon::kInformation;
}

qcp::Status Main(std::u16string_view tail, qcp::IPrintTarget&) {
  const std::vector<std::u16string> words = qcp::SplitWords(tail);
  const std::u16string message = qcp::TextAfterFirstBlank(tail);
  const platform::MessageIcon icon = IconOf(qcp::NumericValue(words[0]));
  platform::ShowMessageBox(message, std::u16string(qcp::kPingnoteProduct), icon);
  return qcp::Status::kDone;
}

}  // namespace notice_show

namespace qcp::entries {
// Quotes stay: they are part of the icon word and of the message.
// NoticeShow, as the build reads it (cmake/tool_declarations.cmake):
//   Platform: dialogs
//   Product: kPingnoteProduct
//   Visual styles: yes
//   Description: Shows a message box
//   About: Shows a message box titled "Pingnote" and waits until it is closed. Icon 0 information,
//     1 question, 2 exclamation, 3 critical.
//   Example: NoticeShow 2 Backup finished with warnings
//   Batch example: NoticeShow.exe 2 Backup finished with warnings
//   Synopsis: icon message
//   Pack page: Shows a message box titled
//     .B Pingnote
//     and waits until it is closed.
//     .I icon
//     0 information, 1 question, 2 exclamation, 3 critical.
extern const ToolEntry kNoticeShow{u"NoticeShow", notice_show::kHelp, HelpRule::kFewerThanTwoWords, false,
                                   &notice_show::Main};
}  // namespace qcp::entries
