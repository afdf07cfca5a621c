#include "tools/help.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_console.h"
#include "platform/fake/fake_platform.h"
#include "tools/entry.h"

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

// The entry's part of a run: the reserved tails (natively only), the help
// rule on the cleaned tail, and the status the help screen gives.
std::u16string seen;
qcp::Status Record(std::u16string_view tail, qcp::IPrintTarget&) {
  seen = tail;
  return qcp::Status::kFailed;
}
constexpr std::u16string_view kHelp[] = {u"    Tool.exe <a> <b>"};

struct EntryCase {
  qcp::HelpRule rule;
  bool removes_quotes;
  bool native;
  std::u16string_view tail;
  qcp::Status status;
  const char* out;  // what is printed: "help", "version" or ""
  std::u16string_view main_sees;  // u"-" when Main is not called
};

TEST(Entry, AppliesTheDeclaredRule) {
  using qcp::HelpRule;
  using qcp::Status;
  const EntryCase cases[] = {
      {HelpRule::kHelpSwitch, true, false, u"x/?", Status::kDone, "help", u"-"},
      {HelpRule::kHelpSwitch, true, false, u"x\"/\"?", Status::kDone, "help", u"-"},
      {HelpRule::kHelpSwitch, false, false, u"x\"/\"?", Status::kFailed, "", u"x\"/\"?"},
      {HelpRule::kEmptyTail, true, false, u"\"\"", Status::kMissing, "help", u"-"},
      {HelpRule::kEmptyTail, false, false, u"\"\"", Status::kFailed, "", u"\"\""},
      {HelpRule::kFewerThanTwoWords, true, false, u"1", Status::kMissing, "help", u"-"},
      {HelpRule::kFewerThanTwoWords, true, false, u"1 \"a\" b", Status::kFailed, "", u"1 a b"},
      {HelpRule::kExactlyTwoWords, true, false, u"1 2 ", Status::kMissing, "help", u"-"},
      {HelpRule::kExactlyTwoWords, true, false, u"1 2", Status::kFailed, "", u"1 2"},
      // Reserved natively only, and only alone.
      {HelpRule::kHelpSwitch, true, true, u"--help", Status::kDone, "help", u"-"},
      {HelpRule::kEmptyTail, true, true, u"--version", Status::kDone, "version", u"-"},
      {HelpRule::kEmptyTail, true, false, u"--help", Status::kFailed, "", u"--help"},
      {HelpRule::kEmptyTail, true, true, u"--help ", Status::kFailed, "", u"--help "},
      {HelpRule::kEmptyTail, true, true, u"\"--version\"", Status::kFailed, "", u"--version"},
      // Tools that act at once take a dash word natively as help not understood.
      {HelpRule::kHelpSwitchOrDash, true, true, u"-h", Status::kMissing, "help", u"-"},
      {HelpRule::kHelpSwitchOrDash, true, true, u"now \"\u2014help\"", Status::kMissing, "help", u"-"},
      {HelpRule::kHelpSwitchOrDash, true, true, u"/?", Status::kDone, "help", u"-"},
      {HelpRule::kHelpSwitchOrDash, true, true, u"right now", Status::kFailed, "", u"right now"},
      {HelpRule::kHelpSwitchOrDash, true, false, u"-h", Status::kFailed, "", u"-h"},
      {HelpRule::kHelpSwitch, true, true, u"-h", Status::kFailed, "", u"-h"},
  };
  const qcp::ToolEntry tool{u"Tool", kHelp, HelpRule::kHelpSwitch, true, &Record};
  for (const EntryCase& c : cases) {
    fake::Reset();
    if (c.native) fake::UseNativeConsoleConventions();
    qcp::ToolEntry declared = tool;
    declared.help_rule = c.rule;
    declared.removes_quotes = c.removes_quotes;
    seen = u"-";
    qcp::StdOutput out;
    EXPECT_EQ(qcp::RunTail(declared, c.tail, out), c.status) << fake::Narrow(c.tail);
    EXPECT_EQ(seen, c.main_sees) << fake::Narrow(c.tail);
    const std::string printed = fake::StdOut();
    const std::string expected = std::string(c.out) == "help"      ? (c.native ? "\n" : "\r\n")
                                 : std::string(c.out) == "version" ? "Tool (Quorvex Command Pack) "
                                                                   : "";
    EXPECT_EQ(printed.substr(0, expected.size()), expected) << fake::Narrow(c.tail);
    EXPECT_EQ(printed.empty(), expected.empty()) << fake::Narrow(c.tail);
  }
}

}  // namespace
