#include "tools/std_output.h"

#include <gtest/gtest.h>

#include "console/failure.h"
#include "platform/fake/fake_console.h"
#include "platform/fake/fake_platform.h"

namespace {

class StdOutputTest : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }
  qcp::StdOutput out;
};

TEST_F(StdOutputTest, ColumnCountsCharactersSinceTheLastCrLf) {
  struct Case {
    std::vector<std::u16string> writes;
    std::int32_t column;
  };
  const Case cases[] = {
      {{u"abc"}, 3},
      {{u"abc", u"de"}, 5},
      {{u"ab", u"\r\n", u"cd"}, 2},
      {{u"ab\r\ncd"}, 2},
      {{u"ab", u"\r\n"}, 0},
      {{u"\r\n", u"\r\n", u"x"}, 1},
      {{u"ab\ncd"}, 5},   // a lone LF is an ordinary character
      {{u"ab\rcd"}, 5},   // so is a lone CR
      {{u"ab\r", u"\ncd"}, 6},  // CR and LF in separate writes are no line end
  };
  for (const Case& c : cases) {
    qcp::StdOutput fresh;
    for (const auto& w : c.writes) fresh.WriteText(w);
    EXPECT_EQ(fresh.Column(), c.column) << fake::Narrow(c.writes[0]);
  }
}

TEST_F(StdOutputTest, EmptyTextLeavesTheColumn) {
  out.WriteText(u"abc");
  out.WriteText(u"");
  EXPECT_EQ(out.Column(), 3);
  EXPECT_EQ(fake::StdOut(), "abc");
}

TEST_F(StdOutputTest, SettingTheColumnPadsOnlyToTheRight) {
  out.WriteText(u"abc");
  out.Column(10);
  EXPECT_EQ(fake::StdOut(), "abc       ");
  EXPECT_EQ(out.Column(), 10);
  out.Column(2);
  EXPECT_EQ(out.Column(), 2);
  out.Column(-4);
  EXPECT_EQ(out.Column(), -4);
  EXPECT_EQ(fake::StdOut(), "abc       ");
}

TEST_F(StdOutputTest, ColumnOverflowRaisesAndKeepsTheColumn) {
  EXPECT_THROW(qcp::ColumnAfter(2147483000, std::u16string(1000, u'x')), qcp::Failure);
  EXPECT_EQ(qcp::ColumnAfter(2147483000, std::u16string(647, u'x')), 2147483647);
  qcp::StdOutput low;
  low.Column(-2);
  EXPECT_THROW(low.Column(2147483647), qcp::Failure);
  EXPECT_EQ(low.Column(), -2);
  EXPECT_EQ(qcp::ColumnAfter(-2147483647 - 1, u"ab\r\nxyz"), 3);
}

TEST_F(StdOutputTest, PrintLineForms) {
  qcp::PrintLine(out, 0);
  qcp::PrintLine(out, -15);
  qcp::PrintLine(out, 2147483647);
  qcp::PrintLine(out, -2147483647 - 1);
  qcp::PrintLine(out, u"text \"as is\"");
  qcp::PrintLine(out, u"");
  EXPECT_EQ(fake::StdOut(),
            " 0 \r\n-15 \r\n 2147483647 \r\n-2147483648 \r\ntext \"as is\"\r\n\r\n");
  EXPECT_EQ(out.Column(), 0);
}

TEST_F(StdOutputTest, EachLineIsOneWrite) {
  qcp::PrintLine(out, u"one");
  qcp::PrintLine(out, 2);
  qcp::PrintLineBytes(out, std::string("raw\0bytes\xff", 10));
  EXPECT_EQ(fake::StdOutWrites(), 3);
  EXPECT_EQ(fake::StdOut(), std::string("one\r\n 2 \r\nraw\0bytes\xff\r\n", 22));
  EXPECT_EQ(out.Column(), 0);
}

TEST_F(StdOutputTest, ByteColumnsFollowTheSameRule) {
  EXPECT_EQ(qcp::ColumnAfter(4, "ab", ""), 6);
  EXPECT_EQ(qcp::ColumnAfter(4, "ab\r", "\nx"), 1);
  EXPECT_EQ(qcp::ColumnAfter(4, "a\r\nbc", "d"), 3);
  EXPECT_EQ(qcp::ColumnAfter(4, "ab", "\r\n"), 0);
}

// Natively every line ends with LF alone, and the column counts from it.
TEST_F(StdOutputTest, NativeLinesEndWithLf) {
  fake::UseNativeConsoleConventions();
  qcp::PrintLine(out, -15);
  qcp::PrintLine(out, u"text");
  qcp::PrintLineBytes(out, "raw\r");
  EXPECT_EQ(fake::StdOut(), "-15 \ntext\nraw\r\n");
  EXPECT_EQ(fake::StdOutWrites(), 3);
  EXPECT_EQ(out.Column(), 0);
  struct Case {
    std::int32_t current;
    std::string bytes, more;
    std::int32_t column;
  };
  const Case cases[] = {
      {4, "ab\ncd", "", 2},
      {4, "ab\r\ncd", "", 2},
      {4, "ab\rcd", "", 9},  // a lone CR ends no line
      {4, "ab", "\n", 0},
      {4, "a\nbc", "d", 3},
      {4, "ab\r", "\nx", 1},
      {4, "ab", "c", 7},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(qcp::ColumnAfter(c.current, c.bytes, c.more), c.column) << c.bytes << "|" << c.more;
  }
  EXPECT_EQ(qcp::ColumnAfter(7, u"xy\nz"), 1);
  fake::Reset();
  EXPECT_EQ(qcp::ColumnAfter(7, u"xy\nz"), 11);  // back to Windows' rule
}

}  // namespace
