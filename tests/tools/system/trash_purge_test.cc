#include <gtest/gtest.h>

#include "console/failure.h"
#include "platform/fake/fake_platform.h"
#include "tests/support/tool_test.h"

QCP_TOOL_UNDER_TEST(TrashPurge)

namespace {

using qcp_test::RunMain;
using Calls = fake::CallList;

TEST(TrashPurgeTest, ModeIsComparedAsANumber) {
  struct Case {
    const char16_t* tail;
    fake::EmptyTrashCall call;
  };
  const Case cases[] = {
      {u"C:\\ 1", {u"C:\\", false, true, true}},
      {u"C:\\ 2", {u"C:\\", false, false, true}},
      {u"C:\\ 3", {u"C:\\", false, false, false}},
      {u"C:\\ 1.0", {u"C:\\", false, true, true}},
      {u"C:\\ 01", {u"C:\\", false, true, true}},
      {u"C:\\ 1E0", {u"C:\\", false, true, true}},
      {u"C:\\ &H2", {u"C:\\", false, false, true}},
      {u"C:\\ 3x", {u"C:\\", false, false, false}},
      // Not rounded: 1.5 is no mode, and neither are 0, 9, -1 or letters.
      {u"C:\\ 1.5", {u"C:\\", true, true, true}},
      {u"C:\\ 0", {u"C:\\", true, true, true}},
      {u"C:\\ 9", {u"C:\\", true, true, true}},
      {u"C:\\ -1", {u"C:\\", true, true, true}},
      {u"C:\\ x", {u"C:\\", true, true, true}},
      {u"C:\\ ", {u"C:\\", true, true, true}},
      // The root goes over as typed, quotes removed; empty means every drive.
      {u"C: 3", {u"C:", false, false, false}},
      {u"c:\\ 3", {u"c:\\", false, false, false}},
      {u"\"\" 3", {u"", false, false, false}},
      {u" 3", {u"", false, false, false}},
      {u"D:\\\u00e9t\u00e9\u4e2d 1", {u"D:\\\u00e9t\u00e9\u4e2d", false, true, true}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RunMain(qcp::entries::kTrashPurge, c.tail), "");
    EXPECT_EQ(fake::Calls(), Calls{c.call}) << fake::Narrow(c.tail);
  }
}

TEST(TrashPurgeTest, ModeBeyondTheDoubleRangeIsAnUncaughtOverflow) {
  fake::Reset();
  EXPECT_THROW(qcp_test::Call(qcp::entries::kTrashPurge, u"C:\\ 1E999"), qcp::Failure);
  EXPECT_EQ(fake::Calls(), Calls{});
}

}  // namespace
