#include <gtest/gtest.h>

#include "console/failure.h"
#include "tests/support/tool_test.h"

QCP_TOOL_UNDER_TEST(TrashPurge)

namespace {

using qcp_test::RunMain;
using Calls = std::vector<std::string>;

const std::string kHelp = qcp_test::Usage(qcp::entries::kTrashPurge);

TEST(TrashPurgeTest, ModeIsComparedAsANumber) {
  struct Case {
    const char16_t* tail;
    const char* call;
  };
  const Case cases[] = {
      {u"C:\\ 1", "EmptyTrash(\"C:\\\", progress, sound)"},
      {u"C:\\ 2", "EmptyTrash(\"C:\\\", sound)"},
      {u"C:\\ 3", "EmptyTrash(\"C:\\\")"},
      {u"C:\\ 1.0", "EmptyTrash(\"C:\\\", progress, sound)"},
      {u"C:\\ 01", "EmptyTrash(\"C:\\\", progress, sound)"},
      {u"C:\\ 1E0", "EmptyTrash(\"C:\\\", progress, sound)"},
      {u"C:\\ &H2", "EmptyTrash(\"C:\\\", sound)"},
      {u"C:\\ 3x", "EmptyTrash(\"C:\\\")"},
      // Not rounded: 1.5 is no mode, and neither are 0, 9, -1 or letters.
      {u"C:\\ 1.5", "EmptyTrash(\"C:\\\", confirm, progress, sound)"},
      {u"C:\\ 0", "EmptyTrash(\"C:\\\", confirm, progress, sound)"},
      {u"C:\\ 9", "EmptyTrash(\"C:\\\", confirm, progress, sound)"},
      {u"C:\\ -1", "EmptyTrash(\"C:\\\", confirm, progress, sound)"},
      {u"C:\\ x", "EmptyTrash(\"C:\\\", confirm, progress, sound)"},
      {u"C:\\ ", "EmptyTrash(\"C:\\\", confirm, progress, sound)"},
      // The root goes over as typed, quotes removed; empty means every drive.
      {u"C: 3", "EmptyTrash(\"C:\")"},
      {u"c:\\ 3", "EmptyTrash(\"c:\\\")"},
      {u"\"\" 3", "EmptyTrash(\"\")"},
      {u" 3", "EmptyTrash(\"\")"},
      {u"D:\\\u00e9t\u00e9\u4e2d 1", "EmptyTrash(\"D:\\\u00e9t\u00e9\u4e2d\", progress, sound)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RunMain(qcp::entries::kTrashPurge, c.tail), "") << c.call;
    EXPECT_EQ(fake::Calls(), Calls{c.call});
  }
}

TEST(TrashPurgeTest, HelpUnlessExactlyTwoWords) {
  for (const char16_t* tail : {u"", u"\"\"", u"C:\\", u"/?", u"C:\\ 3 x", u"C:\\  3", u"C:\\ 3 ", u"\"/mnt/a b\" 3"}) {
    EXPECT_EQ(RunMain(qcp::entries::kTrashPurge, tail), kHelp);
    EXPECT_EQ(fake::Calls(), Calls{});
  }
}

TEST(TrashPurgeTest, ModeBeyondTheDoubleRangeIsAnUncaughtOverflow) {
  fake::Reset();
  EXPECT_THROW(qcp_test::Call(qcp::entries::kTrashPurge, u"C:\\ 1E999"), qcp::Failure);
  EXPECT_EQ(fake::Calls(), Calls{});
}

}  // namespace
