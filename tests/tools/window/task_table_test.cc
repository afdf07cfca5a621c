#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_processes.h"
#include "tests/support/tool_test.h"

QCP_TOOL_UNDER_TEST(TaskTable)

namespace {

using qcp_test::RunMain;

// 73 characters each: the columns start at 1 (ID), 7 (a 40-wide name), 49
// (threads) and 59 (priority), where the rows below put their fields.
const std::string kHeader = " ID    PROCESS" + std::string(35, ' ') + "THREADS   PRIORITY CLASS\r\n";
const std::string kRuler = " ====  " + std::string(40, '=') + "  ========  ==============\r\n";

std::string Blanks(std::size_t count) { return std::string(count, ' '); }

TEST(TaskTableTest, RowsPushRightWhereAFieldOverflowsAndNothingIsCut) {
  struct Case {
    std::uint32_t id;
    std::u16string name;
    std::uint32_t threads;
    std::int32_t priority;
    std::string row;
  };
  const std::string name39(39, 'n');
  const std::string name40(40, 'n');
  const std::string name41(41, 'n');
  const Case cases[] = {
      {0, u"[System Process]", 1, 0, " 0000  [System Process]" + Blanks(24) + "  1    " + Blanks(5) + "0"},
      {4, u"System", 123, 8, " 0004  System" + Blanks(34) + "  123  " + Blanks(5) + "8"},
      {1234, u"a.exe", 12345, 13, " 1234  a.exe" + Blanks(35) + "  12345" + Blanks(5) + "13"},
      {54321, u"b.exe", 123456, 24, " 54321  b.exe" + Blanks(35) + "  123456" + Blanks(5) + "24"},
      // The thread column is five wide: four digits get one blank, five none.
      {999, u"c.exe", 1234, 6, " 0999  c.exe" + Blanks(35) + "  1234 " + Blanks(5) + "6"},
      {10000, u"d.exe", 99999, 4, " 10000  d.exe" + Blanks(35) + "  99999" + Blanks(5) + "4"},
      {7, std::u16string(39, u'n'), 2, 4, " 0007  " + name39 + " " + "  2    " + Blanks(5) + "4"},
      {7, std::u16string(40, u'n'), 2, 4, " 0007  " + name40 + "  2    " + Blanks(5) + "4"},
      {7, std::u16string(41, u'n'), 2, 4, " 0007  " + name41 + "  2    " + Blanks(5) + "4"},
      {8, u"neg.exe", 0, -2, " 0008  neg.exe" + Blanks(33) + "  0    " + Blanks(5) + "-2"},
      // Numbers are read as signed 32-bit values.
      {0xfffffffb, u"x", 0x80000000, -2147483647 - 1, " -0005  x" + Blanks(39) + "  -2147483648" + Blanks(5) +
                                                          "-2147483648"},
      {9, u"Café.exe", 1, 8, " 0009  Caf\xc3\xa9.exe" + Blanks(32) + "  1    " + Blanks(5) + "8"},
  };
  for (const Case& c : cases) {
    fake::Reset();
    fake::AddProcess(c.id, c.name, c.threads, c.priority);
    qcp_test::Call(qcp::entries::kTaskTable, u"");
    EXPECT_EQ(fake::StdOut(), kHeader + kRuler + c.row + "\r\n");
  }
}

TEST(TaskTableTest, EveryProcessInTheSystemsOrder) {
  fake::Reset();
  fake::AddProcess(300, u"c.exe", 1, 8);
  fake::AddProcess(100, u"a.exe", 2, 8);
  fake::AddProcess(200, u"b.exe", 3, 8);
  qcp_test::Call(qcp::entries::kTaskTable, u"anything else");
  const std::string tail = Blanks(35) + "  ";
  EXPECT_EQ(fake::StdOut(), kHeader + kRuler + " 0300  c.exe" + tail + "1    " + Blanks(5) + "8\r\n" +
                                " 0100  a.exe" + tail + "2    " + Blanks(5) + "8\r\n" + " 0200  b.exe" + tail +
                                "3    " + Blanks(5) + "8\r\n");
  EXPECT_EQ(fake::Calls(), fake::CallList{fake::ListProcessesCall{}});
}

TEST(TaskTableTest, ListsForAnyTailWithoutTheSwitch) {
  for (const char16_t* tail : {u"", u"?/", u"/ ?", u"-h"}) {
    EXPECT_EQ(RunMain(qcp::entries::kTaskTable, tail), kHeader + kRuler);
  }
}

}  // namespace
