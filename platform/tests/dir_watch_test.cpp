#include "platform/dir_watch.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "tests/support/temp_dir.h"

namespace hv::platform {
namespace {

using hv::test::TempDir;
using hv::test::writeFile;

TEST(DirWatch, NameChangesFireOnceAndContentChangesDoNot) {
  TempDir dir;
  writeFile(dir.file("a.tif"), "a");
  DirWatch watch;
  ASSERT_TRUE(watch.open(dir.path()));
  EXPECT_FALSE(watch.poll());
  writeFile(dir.file("a.tif"), "changed contents");
  ASSERT_EQ(::chmod(dir.file("a.tif").c_str(), 0600), 0);
  EXPECT_FALSE(watch.poll());

  writeFile(dir.file("b.tif"), "b");
  EXPECT_TRUE(watch.poll());
  EXPECT_FALSE(watch.poll());
  ASSERT_EQ(std::rename(dir.file("b.tif").c_str(), dir.file("c.tif").c_str()), 0);
  EXPECT_TRUE(watch.poll());
  ASSERT_EQ(::unlink(dir.file("c.tif").c_str()), 0);
  EXPECT_TRUE(watch.poll());
}

TEST(DirWatch, AWatchThatCannotBeOpenedCountsAsFired) {
  TempDir dir;
  DirWatch watch;
  EXPECT_FALSE(watch.open(dir.file("missing/")));
  EXPECT_FALSE(watch.isOpen());
  EXPECT_TRUE(watch.poll());
  writeFile(dir.file("plain"), "x");
  EXPECT_FALSE(watch.open(dir.file("plain")));
}

}  // namespace
}  // namespace hv::platform
