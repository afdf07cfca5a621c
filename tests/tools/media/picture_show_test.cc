#include <gtest/gtest.h>

#include "platform/fake/fake_locale.h"
#include "platform/fake/fake_picture_window.h"
#include "tests/support/tool_test.h"

QCP_TOOL_UNDER_TEST(PictureShow)

namespace {

using Calls = fake::CallList;

// A run of its own: the window an earlier run left open is closed first,
// as its process would have ended.
void Reset() {
  fake::AskToClose();
  fake::Reset();
}

// Runs Main with `cat.jpg` loading as a 200 x 100 picture.
std::string Show(std::u16string tail, char16_t decimal_separator = u'.') {
  Reset();
  fake::SetDecimalSeparator(decimal_separator);
  fake::SetPicture(u"cat.jpg", 200, 100);
  qcp_test::Call(qcp::entries::kPictureShow, tail);
  return fake::StdOut();
}

const Calls kShown = {fake::CreatePictureWindowCall{}, fake::LoadPictureCall{u"cat.jpg"},
                      fake::SizePictureWindowCall{200, 100}, fake::ShowPictureWindowCall{}};
const fake::Call kUnload = fake::UnloadPictureWindowCall{};

Calls ShownThen(std::initializer_list<fake::Call> more) {
  Calls calls = kShown;
  calls.insert(calls.end(), more);
  return calls;
}

TEST(PictureShowTest, APictureThatDoesNotLoadIsNeverShown) {
  Reset();
  fake::SetPictureFailure(u"broken.gif", u"Invalid picture");
  qcp_test::Call(qcp::entries::kPictureShow, u"5 broken.gif");
  EXPECT_EQ(fake::StdOut(), "ERROR! Invalid picture.\r\n");
  EXPECT_EQ(fake::Calls(), (Calls{fake::CreatePictureWindowCall{}, fake::LoadPictureCall{u"broken.gif"}, kUnload}));

  // Not even with an invalid seconds word: the picture fails first.
  EXPECT_EQ(Show(u"66 missing.jpg"), "ERROR! File not found.\r\n");
  EXPECT_EQ(fake::Calls(), (Calls{fake::CreatePictureWindowCall{}, fake::LoadPictureCall{u"missing.jpg"}, kUnload}));
  EXPECT_FALSE(fake::PictureWindowLoaded());
}

TEST(PictureShowTest, TheFileNameIsEverythingAfterTheFirstBlank) {
  struct Case {
    const char16_t* tail;
    const char16_t* name;
  };
  const Case cases[] = {
      {u"5 C:\\My Pictures\\cat.jpg", u"C:\\My Pictures\\cat.jpg"},
      {u"\"5\" \"C:\\My Pictures\\cat.jpg\"", u"C:\\My Pictures\\cat.jpg"},
      {u"5  cat.jpg", u" cat.jpg"},
      {u"5 cat.jpg ", u"cat.jpg "},
      {u"5 ", u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Show(c.tail), "ERROR! File not found.\r\n");
    EXPECT_EQ(fake::Calls().at(1), fake::Call{fake::LoadPictureCall{c.name}});
  }
}

TEST(PictureShowTest, SecondsBecomeTheTimersInterval) {
  struct Case {
    const char16_t* seconds;
    int interval;
  };
  const Case cases[] = {
      {u"2.5", 2500}, {u"1", 1000}, {u"65", 65000}, {u"65.535", 65535}, {u"1e1", 10000},
      // Half a millisecond goes to the even neighbour.
      {u"0.0025", 2}, {u"0.0035", 4},
      // Less than a millisecond is an interval of 0: the timer ticks at once.
      {u"0.0004", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Show(std::u16string(c.seconds) + u" cat.jpg"), "");
    EXPECT_EQ(fake::Calls(), ShownThen({fake::StartPictureTimerCall{c.interval}}));
  }
}

TEST(PictureShowTest, NoTimerForSecondsOfZeroOrLessOrNoNumber) {
  for (const char16_t* tail : {u"0 cat.jpg", u"-3 cat.jpg", u"abc cat.jpg", u" cat.jpg", u"-0.5s cat.jpg"}) {
    EXPECT_EQ(Show(tail), "");
    EXPECT_EQ(fake::Calls(), kShown);
    EXPECT_TRUE(fake::PictureWindowShown());
  }
}

TEST(PictureShowTest, ErrorsAfterShowingLeaveTheWindowWithoutATimer) {
  struct Case {
    const char16_t* seconds;
    const char* line;
  };
  const Case cases[] = {
      {u"66", "ERROR! Invalid property value.\r\n"},
      {u"65.536", "ERROR! Invalid property value.\r\n"},
      // Very large values meet the timer's limit, not an overflow.
      {u"70000", "ERROR! Invalid property value.\r\n"},
      {u"1e300", "ERROR! Invalid property value.\r\n"},
      {u"5s", "ERROR! Type mismatch.\r\n"},
      {u"2.5.1", "ERROR! Type mismatch.\r\n"},
      {u"65000s", "ERROR! Type mismatch.\r\n"},
      {u"1e999", "ERROR! Overflow.\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Show(std::u16string(c.seconds) + u" cat.jpg"), c.line);
    EXPECT_EQ(fake::Calls(), kShown);
    EXPECT_TRUE(fake::PictureWindowShown());
    EXPECT_EQ(fake::PictureTimerInterval(), -1);
  }
}

TEST(PictureShowTest, TheStrictConversionFollowsTheUsersDecimalSeparator) {
  EXPECT_EQ(Show(u"2,5 cat.jpg", u','), "");
  EXPECT_EQ(fake::Calls(), ShownThen({fake::StartPictureTimerCall{2500}}));

  EXPECT_EQ(Show(u"2.5 cat.jpg", u','), "ERROR! Type mismatch.\r\n");
  EXPECT_EQ(fake::Calls(), kShown);

  // The lenient reading stops at the comma: "0,5" is 0 seconds, so no timer.
  EXPECT_EQ(Show(u"0,5 cat.jpg", u','), "");
  EXPECT_EQ(fake::Calls(), kShown);
}

TEST(PictureShowTest, AClickEscOrCloseUnloadsTheWindow) {
  struct Case {
    const char* what;
    bool (*deliver)();
  };
  const Case cases[] = {
      {"click", [] { return fake::ClickPicture(); }},
      {"Esc", [] { return fake::ReleaseKey(platform::PictureKey::kEscape); }},
      {"close", [] { return fake::AskToClose(); }},
  };
  for (const char16_t* tail : {u"0 cat.jpg", u"5 cat.jpg", u"66 cat.jpg"}) {
    for (const Case& c : cases) {
      Show(tail);
      const std::size_t before = fake::Calls().size();
      ASSERT_TRUE(c.deliver()) << c.what;
      EXPECT_EQ(Calls(fake::Calls().begin() + before, fake::Calls().end()), Calls{kUnload}) << c.what;
      EXPECT_FALSE(fake::PictureWindowLoaded());
      // Nothing reaches a window that is gone.
      EXPECT_FALSE(fake::ClickPicture());
    }
  }
}

TEST(PictureShowTest, OtherKeysLeaveTheWindowOpen) {
  Show(u"5 cat.jpg");
  EXPECT_TRUE(fake::ReleaseKey(platform::PictureKey::kOther));
  EXPECT_EQ(fake::Calls(), ShownThen({fake::StartPictureTimerCall{5000}}));
  EXPECT_EQ(fake::PictureTimerInterval(), 5000);
}

TEST(PictureShowTest, TheTimerIsStoppedThenTheWindowUnloaded) {
  Show(u"1 cat.jpg");
  ASSERT_TRUE(fake::TickTimer());
  EXPECT_EQ(fake::Calls(), ShownThen({fake::StartPictureTimerCall{1000}, fake::StopPictureTimerCall{}, kUnload}));
  EXPECT_FALSE(fake::TickTimer());
}

}  // namespace
