#include <gtest/gtest.h>

#include "tests/support/tool_test.h"

namespace session_end {
void ShowUsage(qcp::IPrintTarget& out);
void Main(std::u16string_view tail, qcp::IPrintTarget& out);
}  // namespace session_end

namespace {

using qcp_test::RunMain;
using Calls = std::vector<std::string>;

const std::string kHelp = qcp_test::Usage(session_end::ShowUsage);

TEST(SessionEndTest, EnablesThePrivilegeThenForcesTheLogOff) {
  const Calls sequence = {
      "GetCurrentProcess",
      "OpenProcessToken(0xffffffffffffffff, 0x28)",
      "LookupPrivilegeValue(\"\", \"SeShutdownPrivilege\")",
      // The token and identifier the platform filled in, count 1, enabled, 16 bytes.
      "AdjustTokenPrivileges(0x7001, false, count 1, luid 0x13:0x0, attributes 2, length 16)",
      "ExitWindowsEx(4, 0)",
  };
  for (const char16_t* tail : {u"", u"now", u"/ ?", u"\"\"", u"? /"}) {
    EXPECT_EQ(RunMain(session_end::Main, tail), "");
    EXPECT_EQ(fake::Calls(), sequence);
  }
}

TEST(SessionEndTest, HelpSwitchAnywhereAfterCleaningEndsNothing) {
  for (const char16_t* tail : {u"/?", u"x/?y", u"\"/\"?", u"now /?"}) {
    EXPECT_EQ(RunMain(session_end::Main, tail), kHelp);
    EXPECT_EQ(fake::Calls(), Calls{});
  }
}

}  // namespace
