#include <gtest/gtest.h>

#include "tests/support/tool_test.h"
#include "tools/system/shell_execute.h"

QCP_TOOL_UNDER_TEST(Start)

namespace {

using qcp_test::RunMain;
using Calls = std::vector<std::string>;

const std::string kHelp = qcp_test::Usage(qcp::entries::kStart);

TEST(StartTest, FileNameIsEverythingAfterTheFirstBlank) {
  struct Case {
    const char16_t* tail;
    const char* call;
  };
  // Start opens without waiting, with no owner, no parameters and no directory.
  const Case cases[] = {
      {u"0 notepad", "OpenItem(notepad)"},
      {u"0 C:\\My Documents\\a.txt", "OpenItem(C:\\My Documents\\a.txt)"},
      {u"0 \"C:\\My Documents\\a.txt\"", "OpenItem(C:\\My Documents\\a.txt)"},
      {u"0  name", "OpenItem( name)"},         // the second blank belongs to the name
      {u"0 a  b ", "OpenItem(a  b )"},         // doubled and trailing blanks kept
      {u"7 notepad", "OpenItem(notepad)"},     // the mode is never read
      {u"x notepad", "OpenItem(notepad)"},
      {u"1E999 notepad", "OpenItem(notepad)"},  // not even for its value
      {u"0 ", "OpenItem()"},                   // an empty name is still asked for
      {u" notepad", "OpenItem(notepad)"},
      {u"0 \u00e9t\u00e9 \u4e2d.txt", "OpenItem(\u00e9t\u00e9 \u4e2d.txt)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RunMain(qcp::entries::kStart, c.tail), "");
    EXPECT_EQ(fake::Calls(), Calls{c.call});
  }
}

TEST(StartTest, HelpForAnEmptyLineOrASingleWord) {
  for (const char16_t* tail : {u"", u"\"\"", u"notepad", u"C:\\a.txt", u"/?"}) {
    EXPECT_EQ(RunMain(qcp::entries::kStart, tail), kHelp);
    EXPECT_EQ(fake::Calls(), Calls{});
  }
}

TEST(ExecuteFileTest, PassesItsParametersOn) {
  struct Case {
    const char16_t* parameters;
    std::int32_t owner;
    const char16_t* directory;
    bool wait;
    const char* call;
  };
  const Case cases[] = {
      {u"-x 1", -2, u"C:\\Work", false, "OpenItem(a b.txt, parameters -x 1, in C:\\Work, owner -2)"},
      {u"", 0, u"", true, "OpenItem(a b.txt, wait)"},
  };
  for (const Case& c : cases) {
    fake::Reset();
    start::ExecuteFile(u"a b.txt", c.parameters, c.owner, start::WindowShow::kNormal, c.directory, c.wait);
    EXPECT_EQ(fake::Calls(), Calls{c.call});
  }
}

}  // namespace
