#include <gtest/gtest.h>

#include "tests/support/tool_test.h"

QCP_TOOL_UNDER_TEST(SessionEnd)

namespace {

using qcp_test::RunMain;
using Calls = fake::CallList;

TEST(SessionEndTest, EndsTheSessionWhateverTheArguments) {
  for (const char16_t* tail : {u"", u"now", u"/ ?", u"\"\"", u"? /"}) {
    EXPECT_EQ(RunMain(qcp::entries::kSessionEnd, tail), "");
    EXPECT_EQ(fake::Calls(), Calls{fake::EndSessionCall{}});
  }
}

}  // namespace
