#include "platform/file_io.h"

#include <cerrno>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace hv::platform {
namespace {

using hv::test::TempDir;
using hv::test::writeFile;

// The limit is inclusive, and a failed read says why in errno, which the
// callers turn into the user's message.
TEST(ReadWholeFile, ReadsUpToTheLimitAndSaysWhyItCannot) {
  TempDir dir;
  writeFile(dir.file("ten"), "0123456789");
  std::string out = "stale";
  ASSERT_EQ(readWholeFile(dir.file("ten"), out, 10), Status::Ok);
  EXPECT_EQ(out, "0123456789");

  errno = 0;
  EXPECT_EQ(readWholeFile(dir.file("ten"), out, 9), Status::ReadFailed);
  EXPECT_EQ(errno, EFBIG);

  ASSERT_EQ(::mkdir(dir.file("sub").c_str(), 0755), 0);
  EXPECT_EQ(readWholeFile(dir.file("sub"), out), Status::ReadFailed);
  EXPECT_EQ(errno, EISDIR);
  EXPECT_EQ(readWholeFile(dir.file("missing"), out), Status::ReadFailed);
  EXPECT_EQ(errno, ENOENT);
}

}  // namespace
}  // namespace hv::platform
