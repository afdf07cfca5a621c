// The one errno map behind FileShow's and PictureShow's file errors. A cause
// without a word of its own is a device error, as on Windows; PictureShow
// used to call it "File not found".
#include "platform/posix/file_failure.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "console/utf.h"

namespace {

std::string Said(const std::string& path, int error) {
  return qcp::Utf8FromUtf16(std::u16string(platform::OpenFailure(path, error)));
}

TEST(FileFailureTest, ErrnoTable) {
  EXPECT_EQ(Said("/", ENOENT), "File not found");
  EXPECT_EQ(Said("/no-such-folder/x", ENOENT), "Path not found");
  EXPECT_EQ(Said("x", EILSEQ), "Bad file name");
  EXPECT_EQ(Said("x", EIO), "Device I/O error");
}

}  // namespace
