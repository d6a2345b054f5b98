#include "platform/file_delete.h"

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/user_message.h"
#include "tests/support/temp_dir.h"

namespace hv::platform {
namespace {

using hv::test::TempDir;
using hv::test::writeFile;
namespace fs = std::filesystem;

bool exists(const std::string& p) { return ::access(p.c_str(), F_OK) == 0; }

class MessageCollector {
 public:
  MessageCollector() {
    previous_ = setUserMessageHandler([this](const std::string& t) { texts.push_back(t); });
  }
  ~MessageCollector() { setUserMessageHandler(previous_); }
  std::vector<std::string> texts;

 private:
  UserMessageHandler previous_;
};

TEST(DeleteMatchingFiles, RemovesMatchesIgnoringCaseIncludingReadOnlyOnesAndKeepsSubfolders) {
  TempDir dir;
  writeFile(dir.file("a.OVL"), "");
  writeFile(dir.file("b.ovl"), "");
  writeFile(dir.file("c.tif"), "");
  ASSERT_EQ(::chmod(dir.file("b.ovl").c_str(), 0444), 0);
  fs::create_directory(dir.file("sub.ovl"));
  writeFile(dir.file("sub.ovl/x.ovl"), "");
  EXPECT_EQ(DeleteMatchingFiles((dir.path() + "*.OVL").c_str(), 0), 1);
  EXPECT_FALSE(exists(dir.file("a.OVL")));
  EXPECT_FALSE(exists(dir.file("b.ovl")));
  EXPECT_TRUE(exists(dir.file("c.tif")));
  EXPECT_TRUE(exists(dir.file("sub.ovl/x.ovl")));
}

TEST(DeleteMatchingFiles, WithSubfoldersRemovesTreesButNeverFollowsLinks) {
  TempDir dir;
  TempDir outside;
  writeFile(outside.file("precious"), "x");
  fs::create_directories(dir.file("d/e"));
  writeFile(dir.file("d/e/f"), "");
  writeFile(dir.file("d/.hidden"), "");
  ASSERT_EQ(::symlink(outside.path().c_str(), dir.file("link").c_str()), 0);
  EXPECT_EQ(DeleteMatchingFiles((dir.path() + "*.*").c_str(), 1), 1);
  EXPECT_TRUE(fs::is_empty(dir.path()));
  EXPECT_TRUE(exists(outside.file("precious")));
}

TEST(DeleteMatchingFiles, RefusesTheRootAndReportsMissingFolders) {
  EXPECT_EQ(DeleteMatchingFiles("/*", 1), 0);
  EXPECT_EQ(DeleteMatchingFiles("\\*.*", 1), 0);
  EXPECT_EQ(DeleteMatchingFiles("/tmp/../*", 1), 0);
  EXPECT_EQ(DeleteMatchingFiles("/nonexistent-folder-hv/*.OVL", 0), 0);
  EXPECT_EQ(DeleteMatchingFiles(nullptr, 0), 0);
}

TEST(DeleteFolderTree, RefusesTheFileSystemRootWithItsMessage) {
  MessageCollector messages;
  for (const char* root : {"/", "//", "/tmp/..", "C:\\", "c:"}) {
    EXPECT_EQ(DeleteFolderTree(root), 0) << root;
  }
  ASSERT_EQ(messages.texts.size(), 5u);
  EXPECT_EQ(messages.texts[0], "This Application is attempting to remove / which is not allowed");
  EXPECT_EQ(messages.texts[3], "This Application is attempting to remove C:\\ which is not allowed");
}

TEST(DeleteFolderTree, EmptiesAFolderAndFailsSilentlyOnBadPaths) {
  MessageCollector messages;
  TempDir dir;
  fs::create_directories(dir.file("job/sub"));
  writeFile(dir.file("job/sub/x"), "");
  writeFile(dir.file("job/y"), "");
  EXPECT_EQ(DeleteFolderTree(dir.file("job").c_str()), 1);
  EXPECT_TRUE(exists(dir.file("job")));
  EXPECT_TRUE(fs::is_empty(dir.file("job")));
  EXPECT_EQ(DeleteFolderTree("\\temp"), 0);
  EXPECT_EQ(DeleteFolderTree(""), 0);
  EXPECT_EQ(DeleteFolderTree(dir.file("missing").c_str()), 0);
  EXPECT_TRUE(messages.texts.empty());
}

}  // namespace
}  // namespace hv::platform
