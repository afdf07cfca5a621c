#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"
#include "tests/support/tool_test.h"
#include "tools/system/shell_execute.h"

QCP_TOOL_UNDER_TEST(Start)

namespace {

using qcp_test::RunMain;
using Calls = fake::CallList;

TEST(StartTest, FileNameIsEverythingAfterTheFirstBlank) {
  struct Case {
    const char16_t* tail;
    const char16_t* item;
  };
  // Start opens without waiting, with no parameters and no directory.
  const Case cases[] = {
      {u"0 notepad", u"notepad"},
      {u"0 C:\\My Documents\\a.txt", u"C:\\My Documents\\a.txt"},
      {u"0 \"C:\\My Documents\\a.txt\"", u"C:\\My Documents\\a.txt"},
      {u"0  name", u" name"},      // the second blank belongs to the name
      {u"0 a  b ", u"a  b "},      // doubled and trailing blanks kept
      {u"7 notepad", u"notepad"},  // the mode is never read
      {u"x notepad", u"notepad"},
      {u"1E999 notepad", u"notepad"},  // not even for its value
      {u"0 ", u""},                    // an empty name is still asked for
      {u" notepad", u"notepad"},
      {u"0 \u00e9t\u00e9 \u4e2d.txt", u"\u00e9t\u00e9 \u4e2d.txt"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RunMain(qcp::entries::kStart, c.tail), "");
    EXPECT_EQ(fake::Calls(), (Calls{fake::OpenItemCall{c.item, u"", u"", false}}));
  }
}

TEST(ExecuteFileTest, PassesItsParametersOn) {
  struct Case {
    const char16_t* parameters;
    const char16_t* directory;
    bool wait;
  };
  const Case cases[] = {
      {u"-x 1", u"C:\\Work", false},
      {u"", u"", true},
  };
  for (const Case& c : cases) {
    fake::Reset();
    start::ExecuteFile(u"a b.txt", c.parameters, start::WindowShow::kNormal, c.directory, c.wait);
    EXPECT_EQ(fake::Calls(), (Calls{fake::OpenItemCall{u"a b.txt", c.parameters, c.directory, c.wait}}));
  }
}

}  // namespace
