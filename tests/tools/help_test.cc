#include "tools/help.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_console.h"
#include "platform/fake/fake_platform.h"

namespace {

void PrintPaneShutHelp() {
  constexpr std::u16string_view kLines[] = {u"    PaneShut.exe <window caption>", u"", u"    Pass PaneShut.exe a name."};
  qcp::StdOutput out;
  qcp::PrintHelpScreen(out, kLines);
}

TEST(HelpScreen, WindowsKeepsTheTextAsWritten) {
  fake::Reset();
  PrintPaneShutHelp();
  EXPECT_EQ(fake::StdOut(),
            "\r\n  Quorvex Command Pack - https://www.quorvex.com\r\n"
            "    PaneShut.exe <window caption>\r\n\r\n    Pass PaneShut.exe a name.\r\n");
}

// Natively the same text, LF-ended, with the usage line naming the program
// as it is called; other lines stay as they are.
TEST(HelpScreen, NativeNamesTheProgramWithoutExe) {
  fake::Reset();
  fake::UseNativeConsoleConventions();
  PrintPaneShutHelp();
  EXPECT_EQ(fake::StdOut(),
            "\n  Quorvex Command Pack - https://www.quorvex.com\n"
            "    PaneShut <window caption>\n\n    Pass PaneShut.exe a name.\n");
}

TEST(HelpScreen, UsageAsCalled) {
  struct Case {
    std::u16string_view line, suffix, called;
  };
  const Case cases[] = {
      {u"    TaskTable.exe", u"", u"    TaskTable"},
      {u"    Beep.exe <frequency> <duration>", u"", u"    Beep <frequency> <duration>"},
      {u"    Beep.exe <f>", u".exe", u"    Beep.exe <f>"},
      {u"Beep.exe", u"", u"Beep"},
      {u"    Beep <f>.exe", u"", u"    Beep <f>.exe"},  // only the first word
      {u"    .exe", u"", u"    .exe"},                  // no name before the ending
      {u"    Beep.exef", u"", u"    Beep.exef"},
      {u"", u"", u""},
      {u"    ", u"", u"    "},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(qcp::UsageAsCalled(c.line, c.suffix), c.called) << fake::Narrow(c.line);
  }
}

}  // namespace
