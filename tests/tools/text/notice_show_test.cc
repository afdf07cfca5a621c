#include <gtest/gtest.h>

#include <string>

#include "console/failure.h"
#include "tests/support/tool_test.h"

QCP_TOOL_UNDER_TEST(NoticeShow)

namespace {

using Calls = std::vector<std::string>;

const std::string kHelp =
    qcp_test::Usage(qcp::entries::kNoticeShow);

std::string Box(const std::string& text, const char* icon) {
  return "MessageBox(\"" + text + "\", \"Pingnote\", " + icon + ")";
}

TEST(NoticeShowTest, HelpWithoutABlank) {
  for (const char16_t* tail : {u"", u"2", u"/?", u"Hello", u"\"\""}) {
    EXPECT_EQ(qcp_test::RunMain(qcp::entries::kNoticeShow, tail), kHelp);
    EXPECT_EQ(fake::Calls(), Calls{});
  }
}

TEST(NoticeShowTest, IconNumberComparedExactly) {
  struct Case {
    const char16_t* icon;
    const char* icon_name;
  };
  const Case cases[] = {
      {u"1", "question"},    {u"1.0", "question"}, {u"01", "question"},  {u"1e0", "question"},  {u"1D0", "question"},  {u"2", "warning"},   {u"&H2", "warning"},
      {u"3", "error"},    {u"3x", "error"},  {u"0", "information"},   {u"1.5", "information"},  {u"4", "information"},    {u"-1", "information"},  {u"abc", "information"},
      {u"\"2\"", "information"}, {u"", "information"},  {u"0.99999999999", "information"},
  };
  for (const Case& c : cases) {
    const std::u16string tail = std::u16string(c.icon) + u" text";
    EXPECT_EQ(qcp_test::RunMain(qcp::entries::kNoticeShow, tail), "");
    EXPECT_EQ(fake::Calls(), Calls{Box("text", c.icon_name)}) << fake::Narrow(c.icon);
  }
}

TEST(NoticeShowTest, TheMessageIsTheTailAfterTheFirstBlank) {
  struct Case {
    const char16_t* tail;
    const char* text;
    const char* icon_name;
  };
  const Case cases[] = {
      {u"3  Disk full", " Disk full", "error"},
      {u"2 ", "", "warning"},
      {u"Hello world", "world", "information"},
      {u"1 \"quoted\"  and trailing ", "\"quoted\"  and trailing ", "question"},
      {u"0 Grüße ☃ 𝄞", "Grüße ☃ 𝄞", "information"},
      {u"0 a\tb %s \\n", "a\tb %s \\n", "information"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(qcp_test::RunMain(qcp::entries::kNoticeShow, c.tail), "");
    EXPECT_EQ(fake::Calls(), Calls{Box(c.text, c.icon_name)});
  }
}

TEST(NoticeShowTest, AnIconBeyondTheDoubleRangeIsLeftUncaught) {
  fake::Reset();
  EXPECT_THROW(qcp_test::Call(qcp::entries::kNoticeShow, u"1e999 text"), qcp::Failure);
  EXPECT_EQ(fake::Calls(), Calls{});
  EXPECT_EQ(fake::StdOut(), "");
}

}  // namespace
