#include "tools/help.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <set>
#include <sstream>
#include <string>

#include "platform/fake/fake_console.h"
#include "platform/fake/fake_platform.h"
#include "tests/support/tool_test.h"
#include "tools/entry.h"

QCP_TOOL_UNDER_TEST(PaneShut)
QCP_TOOL_UNDER_TEST(PaneRevive)
QCP_TOOL_UNDER_TEST(PaneShrink)
QCP_TOOL_UNDER_TEST(PaneGrow)
QCP_TOOL_UNDER_TEST(PanePin)
QCP_TOOL_UNDER_TEST(PaneUnpin)
QCP_TOOL_UNDER_TEST(TaskTable)
QCP_TOOL_UNDER_TEST(UptimeClock)
QCP_TOOL_UNDER_TEST(DeskGuard)
QCP_TOOL_UNDER_TEST(SessionEnd)
QCP_TOOL_UNDER_TEST(Beep)
QCP_TOOL_UNDER_TEST(TrashPurge)
QCP_TOOL_UNDER_TEST(Start)
QCP_TOOL_UNDER_TEST(MovieShow)
QCP_TOOL_UNDER_TEST(WaveOnce)
QCP_TOOL_UNDER_TEST(WaveRepeat)
QCP_TOOL_UNDER_TEST(PictureShow)
QCP_TOOL_UNDER_TEST(FileShow)
QCP_TOOL_UNDER_TEST(DiceRoll)
QCP_TOOL_UNDER_TEST(QuipMaker)
QCP_TOOL_UNDER_TEST(NoticeShow)

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
    seen.assign(1, u'-');  // (GCC 12 sees a false overlap in the literal's copy)
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

// Each tool as its entry declares it: the tails that must show its help screen
// (cleaned as the tool declares, and before any platform call), and tails
// its rule must let through to Main.
struct ToolHelpCase {
  const qcp::ToolEntry& tool;
  std::initializer_list<std::u16string_view> help;
  std::initializer_list<std::u16string_view> runs;
};

TEST(Entry, EveryToolShowsHelpByItsRule) {
  const std::u16string_view kEmpty = u"";
  const ToolHelpCase cases[] = {
      {qcp::entries::kPaneShut, {kEmpty}, {u"\"\"", u"/?"}},
      {qcp::entries::kPaneRevive, {kEmpty}, {u"\"\""}},
      {qcp::entries::kPaneShrink, {kEmpty}, {u"\"\""}},
      {qcp::entries::kPaneGrow, {kEmpty}, {u"\"\""}},
      {qcp::entries::kPanePin, {kEmpty}, {u"\"\""}},
      {qcp::entries::kPaneUnpin, {kEmpty}, {u"\"\""}},
      {qcp::entries::kTaskTable, {u"/?", u"x/?y", u"\"/?\"", u"/\"?", u"a /? b"}, {kEmpty, u"?/", u"/ ?", u"-h"}},
      {qcp::entries::kUptimeClock, {u"/?", u"x/?y", u"\"/\"?", u"a /? b"}, {kEmpty, u"help"}},
      {qcp::entries::kDeskGuard, {u"please/?", u"/?"}, {kEmpty, u"now", u"/ ?"}},
      {qcp::entries::kSessionEnd, {u"/?", u"x/?y", u"\"/\"?", u"now /?"}, {kEmpty, u"now", u"/ ?", u"\"\"", u"? /"}},
      {qcp::entries::kBeep, {kEmpty, u"\"\"", u"440", u"440 200 1", u"440  200", u"440 200 ", u"/?"}, {u"440 200"}},
      {qcp::entries::kTrashPurge,
       {kEmpty, u"\"\"", u"C:\\", u"/?", u"C:\\ 3 x", u"C:\\  3", u"C:\\ 3 ", u"\"/mnt/a b\" 3"},
       {u"C:\\ 3"}},
      {qcp::entries::kStart, {kEmpty, u"\"\"", u"notepad", u"C:\\a.txt", u"/?"}, {u"0 notepad"}},
      {qcp::entries::kMovieShow, {kEmpty, u"\"\"", u"clip.wmv", u"/?", u"\"0\""}, {}},
      {qcp::entries::kWaveOnce, {kEmpty, u"\"", u"\"\"\""}, {u"/?"}},
      {qcp::entries::kWaveRepeat, {kEmpty, u"\"", u"\"\"\""}, {u"/?"}},
      {qcp::entries::kPictureShow, {kEmpty, u"\"\"", u"cat.jpg", u"/?", u"5", u"\"5\""}, {}},
      // "/?" is a file name like any other.
      {qcp::entries::kFileShow, {kEmpty, u"\"\"", u"\"\"\"\""}, {u"/?"}},
      {qcp::entries::kDiceRoll, {kEmpty, u"\"\"", u"5", u"/?", u"5\"\""}, {u"1 6"}},
      {qcp::entries::kQuipMaker, {u"/?", u"x/?y", u"/\"?", u"tell me /? please"}, {kEmpty}},
      {qcp::entries::kNoticeShow, {kEmpty, u"2", u"/?", u"Hello", u"\"\""}, {u"2 Hello"}},
  };
  std::set<std::string> covered;
  for (const ToolHelpCase& c : cases) {
    const std::string name = fake::Narrow(c.tool.name);
    covered.insert(name);
    fake::Reset();
    const std::string help = qcp_test::Usage(c.tool);
    for (std::u16string_view tail : c.help) {
      EXPECT_EQ(qcp_test::RunMain(c.tool, tail), help) << name << " " << fake::Narrow(tail);
      EXPECT_EQ(fake::Calls(), fake::CallList{}) << name << " " << fake::Narrow(tail);
    }
    for (std::u16string_view tail : c.runs) {
      EXPECT_NE(qcp_test::RunMain(c.tool, tail), help) << name << " " << fake::Narrow(tail);
    }
  }
  // A row for every tool the build declares.
  std::istringstream declared(QCP_DECLARED_TOOLS);
  for (std::string name; std::getline(declared, name, ',');) {
    EXPECT_TRUE(covered.count(name)) << name << " has no row here";
  }
}

}  // namespace
