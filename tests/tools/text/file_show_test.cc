#include <gtest/gtest.h>

#include <string>

#include "console/failure.h"
#include "platform/fake/fake_console.h"
#include "platform/fake/fake_files.h"
#include "tests/support/tool_test.h"

QCP_TOOL_UNDER_TEST(FileShow)

namespace {

using Calls = fake::CallList;
using namespace std::string_literals;

std::string List(std::u16string tail, const std::u16string& name, const std::string& contents) {
  fake::Reset();
  fake::SetFile(name, contents);
  qcp_test::Call(qcp::entries::kFileShow, tail);
  return fake::StdOut();
}

// "/?" is a file name like any other (the help table, tests/tools/help_test.cc,
// shows that it reaches Main).
TEST(FileShowTest, TheHelpSwitchIsAFileName) {
  EXPECT_EQ(qcp_test::RunMain(qcp::entries::kFileShow, u"/?"), "ERROR! File not found.\r\n");
  EXPECT_EQ(fake::Calls(), Calls{fake::OpenFileForReadingCall{u"/?"}});
}

TEST(FileShowTest, TheWholeCleanedTailIsTheName) {
  for (const char16_t* tail : {u"my notes.txt", u"\"my notes.txt\"", u"my \"notes\".txt"}) {
    EXPECT_EQ(List(tail, u"my notes.txt", "one\r\ntwo"), "one\r\ntwo\r\n");
  }
  EXPECT_EQ(List(u"a.txt ", u"a.txt ", "trailing blank kept"), "trailing blank kept\r\n");
  EXPECT_EQ(List(u"Grüße ☃.txt", u"Grüße ☃.txt", "unicode name"), "unicode name\r\n");
}

TEST(FileShowTest, TheLinesOfEachReadGoOutInOneWrite) {
  const std::string contents = "plain\r\n\xe9t\xe9 \x80\x81\rnul\0byte\nlf\r\n\r\n"s;
  EXPECT_EQ(List(u"f", u"f", contents), "plain\r\n\xe9t\xe9 \x80\x81\r\nnul\0byte\nlf\r\n\r\n"s);
  EXPECT_EQ(fake::StdOutWrites(), 1);
  EXPECT_EQ(fake::Calls(), (Calls{fake::OpenFileForReadingCall{u"f"}, fake::CloseFileCall{}}));

  EXPECT_EQ(List(u"empty", u"empty", ""), "");
  EXPECT_EQ(fake::StdOutWrites(), 0);
}

TEST(FileShowTest, NativelyEveryLineEndEndsALineAndLfIsWritten) {
  // Keeping the Windows rule natively would glue a Unix file into one line.
  const std::string contents = "lf\ncrlf\r\ncr\rmixed\n\r\n\rlast"s;
  fake::Reset();
  fake::UseNativeConsoleConventions();
  fake::SetFile(u"f", contents);
  qcp_test::Call(qcp::entries::kFileShow, u"f");
  EXPECT_EQ(fake::StdOut(), "lf\ncrlf\ncr\nmixed\n\n\nlast\n");
}

TEST(FileShowTest, ReadsInBlocksWhateverTheFileSize) {
  std::string contents, expected;
  for (int i = 0; i < 200000; ++i) {
    const std::string line = "line " + std::to_string(i);
    contents += line + (i % 3 == 0 ? "\r" : "\r\n");
    expected += line + "\r\n";
  }
  // A line far longer than any block, and a last one with no end.
  contents += std::string(1 << 20, 'x') + "\r\n" + "last";
  expected += std::string(1 << 20, 'x') + "\r\n" + "last\r\n";
  fake::Reset();
  fake::SetFile(u"big", contents);
  fake::SetReadChunk(1000);
  qcp_test::Call(qcp::entries::kFileShow, u"big");
  EXPECT_EQ(fake::StdOut(), expected);
  EXPECT_LE(fake::LargestRead(), 64u * 1024);
}

TEST(FileShowTest, StopsQuietlyOnceItsOutputFails) {
  // The reader has gone (head -c10) or the disk is full: nothing more can
  // arrive, so the rest of the file is not read, and the end is normal.
  std::string contents;
  for (int i = 0; i < 100000; ++i) contents += "abc\r\n";  // 200 lines a read, and a write
  for (int working : {0, 1, 3}) {
    fake::Reset();
    fake::SetFile(u"big", contents);
    fake::SetReadChunk(1000);
    fake::SetStdOutFailsAfter(working);
    qcp_test::Call(qcp::entries::kFileShow, u"big");
    EXPECT_EQ(fake::StdOut().size(), working * 1000u);
    EXPECT_EQ(fake::BytesRead(), (working + 1) * 1000u);
    EXPECT_EQ(fake::StdErr(), "");
    EXPECT_EQ(fake::OpenFiles(), 0);
  }
}

TEST(FileShowTest, AFileThatCannotBeOpenedGivesOneErrorLine) {
  namespace f = qcp::failures;
  for (std::u16string_view description :
       {f::kFileNotFound, f::kPathNotFound, f::kPermissionDenied, f::kBadFileName, f::kPathIsFolder}) {
    fake::Reset();
    fake::SetOpenFailure(u"x", std::u16string(description));
    qcp_test::Call(qcp::entries::kFileShow, u"x");
    EXPECT_EQ(fake::StdOut(), "ERROR! " + fake::Narrow(description) + ".\r\n");
    EXPECT_EQ(fake::Calls(), Calls{fake::OpenFileForReadingCall{u"x"}});
  }
}

TEST(FileShowTest, AReadFailingMidFileKeepsTheLinesListedSoFar) {
  // The failure comes inside "two": "one" is out, the part of "two" is not.
  fake::Reset();
  fake::SetFile(u"x", "one\r\ntwo\r\nthree\r\n");
  fake::SetReadFailure(u"x", 7, std::u16string(qcp::failures::kDeviceError));
  qcp_test::Call(qcp::entries::kFileShow, u"x");
  EXPECT_EQ(fake::StdOut(), "one\r\nERROR! Device I/O error.\r\n");
  EXPECT_EQ(fake::OpenFiles(), 0);
}

}  // namespace
