#include <gtest/gtest.h>

#include <string>

#include "console/failure.h"
#include "tests/support/tool_test.h"

QCP_TOOL_UNDER_TEST(NoticeShow)

namespace {

using Calls = fake::CallList;
using enum platform::MessageIcon;

fake::ShowMessageBoxCall Box(std::u16string text, platform::MessageIcon icon) {
  return {std::move(text), u"Pingnote", icon};
}

TEST(NoticeShowTest, IconNumberComparedExactly) {
  struct Case {
    const char16_t* icon;
    platform::MessageIcon icon_shown;
  };
  const Case cases[] = {
      {u"1", kQuestion},        {u"1.0", kQuestion},    {u"01", kQuestion},   {u"1e0", kQuestion},
      {u"1D0", kQuestion},      {u"2", kWarning},       {u"&H2", kWarning},   {u"3", kError},
      {u"3x", kError},          {u"0", kInformation},   {u"1.5", kInformation}, {u"4", kInformation},
      {u"-1", kInformation},    {u"abc", kInformation}, {u"\"2\"", kInformation}, {u"", kInformation},
      {u"0.99999999999", kInformation},
  };
  for (const Case& c : cases) {
    const std::u16string tail = std::u16string(c.icon) + u" text";
    EXPECT_EQ(qcp_test::RunMain(qcp::entries::kNoticeShow, tail), "");
    EXPECT_EQ(fake::Calls(), Calls{Box(u"text", c.icon_shown)}) << fake::Narrow(c.icon);
  }
}

TEST(NoticeShowTest, TheMessageIsTheTailAfterTheFirstBlank) {
  struct Case {
    const char16_t* tail;
    const char16_t* text;
    platform::MessageIcon icon_shown;
  };
  const Case cases[] = {
      {u"3  Disk full", u" Disk full", kError},
      {u"2 ", u"", kWarning},
      {u"Hello world", u"world", kInformation},
      {u"1 \"quoted\"  and trailing ", u"\"quoted\"  and trailing ", kQuestion},
      {u"0 Grüße ☃ 𝄞", u"Grüße ☃ 𝄞", kInformation},
      {u"0 a\tb %s \\n", u"a\tb %s \\n", kInformation},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(qcp_test::RunMain(qcp::entries::kNoticeShow, c.tail), "");
    EXPECT_EQ(fake::Calls(), Calls{Box(c.text, c.icon_shown)});
  }
}

TEST(NoticeShowTest, AnIconBeyondTheDoubleRangeIsLeftUncaught) {
  fake::Reset();
  EXPECT_THROW(qcp_test::Call(qcp::entries::kNoticeShow, u"1e999 text"), qcp::Failure);
  EXPECT_EQ(fake::Calls(), Calls{});
  EXPECT_EQ(fake::StdOut(), "");
}

}  // namespace
