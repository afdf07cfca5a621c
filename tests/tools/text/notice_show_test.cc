#include <gtest/gtest.h>

#include <string>

#include "console/failure.h"
#include "tests/support/tool_test.h"

namespace notice_show {
void ShowUsage(qcp::IPrintTarget& out);
void Main(std::u16string_view tail, qcp::IPrintTarget& out);
}  // namespace notice_show

namespace {

using Calls = std::vector<std::string>;

const std::string kHelp =
    qcp_test::Usage(notice_show::ShowUsage);

std::string Box(const std::string& text, int style) {
  return "MessageBox(\"" + text + "\", \"Pingnote\", " + std::to_string(style) + ")";
}

TEST(NoticeShowTest, HelpWithoutABlank) {
  for (const char16_t* tail : {u"", u"2", u"/?", u"Hello", u"\"\""}) {
    EXPECT_EQ(qcp_test::RunMain(notice_show::Main, tail), kHelp);
    EXPECT_EQ(fake::Calls(), Calls{});
  }
}

TEST(NoticeShowTest, IconNumberComparedExactly) {
  struct Case {
    const char16_t* icon;
    int style;
  };
  const Case cases[] = {
      {u"1", 32},    {u"1.0", 32}, {u"01", 32},  {u"1e0", 32},  {u"1D0", 32},  {u"2", 48},   {u"&H2", 48},
      {u"3", 16},    {u"3x", 16},  {u"0", 64},   {u"1.5", 64},  {u"4", 64},    {u"-1", 64},  {u"abc", 64},
      {u"\"2\"", 64}, {u"", 64},  {u"0.99999999999", 64},
  };
  for (const Case& c : cases) {
    const std::u16string tail = std::u16string(c.icon) + u" text";
    EXPECT_EQ(qcp_test::RunMain(notice_show::Main, tail), "");
    EXPECT_EQ(fake::Calls(), Calls{Box("text", c.style)}) << fake::Narrow(c.icon);
  }
}

TEST(NoticeShowTest, TheMessageIsTheTailAfterTheFirstBlank) {
  struct Case {
    const char16_t* tail;
    const char* text;
    int style;
  };
  const Case cases[] = {
      {u"3  Disk full", " Disk full", 16},
      {u"2 ", "", 48},
      {u"Hello world", "world", 64},
      {u"1 \"quoted\"  and trailing ", "\"quoted\"  and trailing ", 32},
      {u"0 Grüße ☃ 𝄞", "Grüße ☃ 𝄞", 64},
      {u"0 a\tb %s \\n", "a\tb %s \\n", 64},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(qcp_test::RunMain(notice_show::Main, c.tail), "");
    EXPECT_EQ(fake::Calls(), Calls{Box(c.text, c.style)});
  }
}

TEST(NoticeShowTest, AnIconBeyondTheDoubleRangeIsLeftUncaught) {
  fake::Reset();
  EXPECT_THROW(qcp_test::Call(notice_show::Main, u"1e999 text"), qcp::Failure);
  EXPECT_EQ(fake::Calls(), Calls{});
  EXPECT_EQ(fake::StdOut(), "");
}

}  // namespace
