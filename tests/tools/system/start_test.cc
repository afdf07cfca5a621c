#include <gtest/gtest.h>

#include "platform/fake/fake_shell.h"
#include "tests/support/tool_test.h"
#include "tools/system/shell_execute.h"

namespace start {
void ShowUsage(qcp::IPrintTarget& out);
void Main(std::u16string_view tail, qcp::IPrintTarget& out);
}  // namespace start

namespace {

using qcp_test::RunMain;
using Calls = std::vector<std::string>;

const std::string kHelp = qcp_test::Usage(start::ShowUsage);

TEST(StartTest, FileNameIsEverythingAfterTheFirstBlank) {
  struct Case {
    const char16_t* tail;
    const char16_t* file;
  };
  const Case cases[] = {
      {u"0 notepad", u"notepad"},
      {u"0 C:\\My Documents\\a.txt", u"C:\\My Documents\\a.txt"},
      {u"0 \"C:\\My Documents\\a.txt\"", u"C:\\My Documents\\a.txt"},
      {u"0  name", u" name"},         // the second blank belongs to the name
      {u"0 a  b ", u"a  b "},         // doubled and trailing blanks kept
      {u"7 notepad", u"notepad"},     // the mode is never read
      {u"x notepad", u"notepad"},
      {u"1E999 notepad", u"notepad"},  // not even for its value
      {u"0 ", u""},                   // an empty name is still asked for
      {u" notepad", u"notepad"},
      {u"0 \u00e9t\u00e9 \u4e2d.txt", u"\u00e9t\u00e9 \u4e2d.txt"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RunMain(start::Main, c.tail), "");
    ASSERT_EQ(fake::ShellExecuteRecords().size(), 1u);
    EXPECT_EQ(fake::ShellExecuteRecords()[0].file, c.file);
  }
}

TEST(StartTest, HelpForAnEmptyLineOrASingleWord) {
  for (const char16_t* tail : {u"", u"\"\"", u"notepad", u"C:\\a.txt", u"/?"}) {
    EXPECT_EQ(RunMain(start::Main, tail), kHelp);
    EXPECT_EQ(fake::Calls(), Calls{});
  }
}

TEST(StartTest, OpensWithoutWaitingAndReleasesTheProcess) {
  fake::Reset();
  fake::SetShellProcess(platform::ProcessHandle{0x3c});
  qcp_test::Call(start::Main, u"0 notepad");
  EXPECT_EQ(fake::Calls(), (Calls{"ShellExecuteEx(\"notepad\")", "CloseHandle(0x3c)"}));
  EXPECT_EQ(fake::StdOut(), "");
}

TEST(ExecuteFileTest, FillsTheRecordFromItsParameters) {
  fake::Reset();
  start::ExecuteFile(u"a b.txt", u"-x 1", -2, 3, u"C:\\Work", false);
  ASSERT_EQ(fake::ShellExecuteRecords().size(), 1u);
  const platform::ShellExecuteInfo& record = fake::ShellExecuteRecords()[0];
  EXPECT_EQ(record.mask, 0x40u);
  EXPECT_EQ(record.hwnd, static_cast<platform::Handle>(-2));  // widened with its sign
  EXPECT_EQ(record.verb, u"open");
  EXPECT_EQ(record.file, u"a b.txt");
  EXPECT_EQ(record.parameters, u"-x 1");
  EXPECT_EQ(record.directory, u"C:\\Work");
  EXPECT_EQ(record.show, 3);

  // Start's own call: no owner, a normal window, no parameters, no directory.
  RunMain(start::Main, u"0 notepad");
  const platform::ShellExecuteInfo& start = fake::ShellExecuteRecords().at(0);
  EXPECT_EQ(start.mask, 0x40u);
  EXPECT_EQ(start.hwnd, 0u);
  EXPECT_EQ(start.verb, u"open");
  EXPECT_EQ(start.parameters, u"");
  EXPECT_EQ(start.directory, std::nullopt);
  EXPECT_EQ(start.show, 1);
}

TEST(ExecuteFileTest, WaitPathWaitsOnceThenClosesTheHandle) {
  fake::Reset();
  fake::SetShellProcess(platform::ProcessHandle{0x1f4});
  start::ExecuteFile(u"setup.exe", u"", 0, 1, u"", true);
  EXPECT_EQ(fake::Calls(), (Calls{"ShellExecuteEx(\"setup.exe\")", "WaitForSingleObject(0x1f4, 0xffffffff)",
                                  "CloseHandle(0x1f4)", "DoEvents"}));
}

TEST(ExecuteFileTest, NothingToWaitForOrCloseWithoutAProcess) {
  for (bool wait : {false, true}) {
    fake::Reset();
    start::ExecuteFile(u"readme.txt", u"", 0, 1, u"", wait);
    EXPECT_EQ(fake::Calls(), Calls{"ShellExecuteEx(\"readme.txt\")"});
  }
}

}  // namespace
