#include "platform/posix/fd_tree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

namespace platform {
namespace {

namespace fs = std::filesystem;

std::size_t OpenDescriptors() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

class FdTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/fd_tree_test.XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    root_ = pattern;
    fs::create_directories(root_ / "outside");
    std::ofstream(root_ / "outside" / "keep.txt") << "keep";
    parent_ = ::open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat info;
    ASSERT_EQ(::fstat(parent_, &info), 0);
    device_ = info.st_dev;
  }
  void TearDown() override {
    ::close(parent_);
    fs::remove_all(root_);
  }

  fs::path root_;
  int parent_ = -1;
  dev_t device_ = 0;
};

// Deeper than the levels kept open and than the nesting checked in one walk,
// with read-only folders and symlinks out of the tree on the way.
TEST_F(FdTreeTest, RemovesADeepTreeAndNothingItLinksTo) {
  fs::path at = root_ / "tree";
  for (int level = 0; level < 40; ++level) {
    fs::create_directories(at);
    std::ofstream(at / "file") << level;
    fs::create_directory_symlink(root_ / "outside", at / "link");
    at /= "d";
  }
  fs::create_directories(at / "locked");
  std::ofstream(at / "locked" / "inside") << "x";
  fs::permissions(at / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  const std::size_t before = OpenDescriptors();
  EXPECT_TRUE(RemoveTree(parent_, "tree", device_));
  EXPECT_EQ(OpenDescriptors(), before);
  EXPECT_FALSE(fs::exists(fs::symlink_status(root_ / "tree")));
  EXPECT_TRUE(fs::exists(root_ / "outside" / "keep.txt"));
  EXPECT_EQ(std::distance(fs::directory_iterator(root_), fs::directory_iterator()), 1);
}

TEST_F(FdTreeTest, NeverEntersASymlinkNamedAsTheTree) {
  fs::create_directory_symlink(root_ / "outside", root_ / "tree");
  EXPECT_FALSE(RemoveTree(parent_, "tree", device_));
  EXPECT_TRUE(fs::exists(root_ / "outside" / "keep.txt"));
}

// Another folder put in the tree's place since it was listed stays whole.
TEST_F(FdTreeTest, RemovesOnlyTheFolderListed) {
  fs::create_directories(root_ / "tree" / "sub");
  struct stat listed;
  ASSERT_EQ(::stat((root_ / "tree").c_str(), &listed), 0);
  fs::rename(root_ / "tree", root_ / "restored");
  fs::create_directories(root_ / "tree" / "other");
  EXPECT_FALSE(RemoveTree(parent_, "tree", device_, listed.st_ino));
  EXPECT_TRUE(fs::exists(root_ / "tree" / "other"));
  fs::remove_all(root_ / "tree");
  fs::rename(root_ / "restored", root_ / "tree");
  EXPECT_TRUE(RemoveTree(parent_, "tree", device_, listed.st_ino));
}

}  // namespace
}  // namespace platform
