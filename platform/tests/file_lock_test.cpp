#include "platform/file_lock.h"

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace hv::platform {
namespace {

TEST(FolderLock, AnotherProcessWaitsUntilTheHolderLetsGo) {
  hv::test::TempDir dir;
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    FolderLock lock(dir.path());
    char c = lock.status() == Status::Ok ? 'y' : 'n';
    (void)!::write(ready[1], &c, 1);
    ::usleep(300 * 1000);
    ::_exit(0);
  }
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, 'y');
  {
    FolderLock busy(dir.path(), 50);
    EXPECT_EQ(busy.status(), Status::Busy);
  }
  FolderLock waited(dir.path(), 10000);
  EXPECT_EQ(waited.status(), Status::Ok);
  int status = 0;
  ::waitpid(pid, &status, 0);
  ::close(ready[0]);
  ::close(ready[1]);
}

TEST(FolderLock, NestsWithinOneProcessAndFailsForAMissingFolder) {
  hv::test::TempDir dir;
  FolderLock outer(dir.path());
  ASSERT_EQ(outer.status(), Status::Ok);
  {
    FolderLock inner(dir.path() + ".", 10);
    EXPECT_EQ(inner.status(), Status::Ok);
  }
  FolderLock again(dir.path(), 10);
  EXPECT_EQ(again.status(), Status::Ok);
  FolderLock missing(dir.file("nope/"), 10);
  EXPECT_EQ(missing.status(), Status::Failed);
}

}  // namespace
}  // namespace hv::platform
