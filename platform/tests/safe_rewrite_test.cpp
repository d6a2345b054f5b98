#include "platform/safe_rewrite.h"

#include <cerrno>
#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/file_lock.h"
#include "tests/support/rewrite_faults.h"
#include "tests/support/temp_dir.h"

namespace hv::platform {
namespace {

using hv::test::fileMode;
using hv::test::folderEntries;
using hv::test::readFile;
using hv::test::StepFault;
using hv::test::StepFaultGuard;
using hv::test::stepFaultHook;
using hv::test::TempDir;
using hv::test::writeFile;

const std::string kOld(5000, 'o');        // two write chunks
const std::string kNew = std::string(9000, 'n') + "\r\n";  // three write chunks

int countSteps() {
  TempDir dir;
  writeFile(dir.file("INDEX.HOL"), kOld);
  StepFault f;
  StepFaultGuard guard(&f);
  EXPECT_EQ(rewriteFileSafely(dir.file("INDEX.HOL"), kNew, 0644), Status::Ok);
  return f.seen;
}

TEST(SafeRewrite, RunsEveryStepInOrder) {
  TempDir dir;
  writeFile(dir.file("INDEX.HOL"), kOld);
  StepFault f;
  {
    StepFaultGuard guard(&f);
    ASSERT_EQ(rewriteFileSafely(dir.file("INDEX.HOL"), kNew, 0640), Status::Ok);
  }
  using S = RewriteStep;
  std::vector<S> want{S::CreateTemp, S::Write,     S::Write,  S::Write,
                      S::SetMode,    S::SyncFile,  S::CloseFile, S::Rename, S::SyncFolder};
  EXPECT_EQ(f.steps, want);
  EXPECT_EQ(readFile(dir.file("INDEX.HOL")), kNew);
  EXPECT_EQ(fileMode(dir.file("INDEX.HOL")) & 0777, 0640u);
  EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"INDEX.HOL"});
}

TEST(SafeRewrite, AFailureAtAnyStepBeforeTheRenameKeepsTheOldFileAndNoTemporary) {
  const int steps = countSteps();
  for (int at = 0; at < steps; ++at) {
    for (int err : {EIO, ENOSPC, EDQUOT}) {
      TempDir dir;
      writeFile(dir.file("INDEX.HOL"), kOld);
      StepFault f;
      f.failAt = at;
      f.err = err;
      bool ok;
      {
        StepFaultGuard guard(&f);
        errno = 0;
        ok = rewriteFileSafely(dir.file("INDEX.HOL"), kNew, 0644) == Status::Ok;
      }
      const bool afterRename = f.steps.back() == RewriteStep::SyncFolder;
      SCOPED_TRACE("step " + std::to_string(at));
      if (afterRename) {
        // The new file is in place once renamed; only the folder flush failed.
        EXPECT_TRUE(ok);
        EXPECT_EQ(readFile(dir.file("INDEX.HOL")), kNew);
      } else {
        EXPECT_FALSE(ok);
        EXPECT_EQ(errno, err);
        EXPECT_EQ(readFile(dir.file("INDEX.HOL")), kOld);
      }
      EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"INDEX.HOL"});
    }
  }
}

TEST(SafeRewrite, AWriterKilledAtAnyStepLeavesTheOldOrTheNewFileAndNoPileOfTemporaries) {
  const int steps = countSteps();
  TempDir dir;
  writeFile(dir.file("INDEX.HOL"), kOld);
  for (int at = 0; at <= steps; ++at) {
    SCOPED_TRACE("killed before step " + std::to_string(at));
    std::string before = readFile(dir.file("INDEX.HOL"));
    std::string after = before == kOld ? kNew : kOld;
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      StepFault f;
      f.failAt = at;
      f.kill = true;
      setRewriteFaultHook(stepFaultHook, &f);
      FolderLock lock(dir.path());
      bool ok = rewriteFileSafely(dir.file("INDEX.HOL"), after, 0644) == Status::Ok;
      ::_exit(ok ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    std::string now = readFile(dir.file("INDEX.HOL"));
    EXPECT_TRUE(now == before || now == after);
    // A killed writer may leave one temporary; the next rewrite clears it.
    EXPECT_LE(folderEntries(dir.path()).size(), 2u);
  }
  FolderLock lock(dir.path());
  ASSERT_EQ(rewriteFileSafely(dir.file("INDEX.HOL"), kOld, 0644), Status::Ok);
  EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"INDEX.HOL"});
}

TEST(SafeRewrite, ASymbolicLinkIsReplacedNeverWrittenThrough) {
  TempDir dir;
  TempDir outside;
  writeFile(outside.file("victim"), "keep");
  ASSERT_EQ(::symlink(outside.file("victim").c_str(), dir.file("INDEX.HOL").c_str()), 0);
  ASSERT_EQ(rewriteFileSafely(dir.file("INDEX.HOL"), "new", 0644), Status::Ok);
  EXPECT_EQ(readFile(outside.file("victim")), "keep");
  EXPECT_TRUE(S_ISREG(fileMode(dir.file("INDEX.HOL"))));
}

TEST(SafeRewrite, AFileSizeLimitFailsTheRewriteAndKeepsTheOldFile) {
  TempDir dir;
  writeFile(dir.file("JMX.HOL"), kOld);
  pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit lim{6000, 6000};
    ::setrlimit(RLIMIT_FSIZE, &lim);
    bool ok = rewriteFileSafely(dir.file("JMX.HOL"), kNew, 0644) == Status::Ok;
    ::_exit(ok ? 1 : (errno == EFBIG ? 0 : 2));
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(readFile(dir.file("JMX.HOL")), kOld);
  EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"JMX.HOL"});
}

// A small tmpfs makes the disk really full.
class FullDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0 || ::mount("tmpfs", dir_.path().c_str(), "tmpfs", 0, "size=64k") != 0)
      GTEST_SKIP() << "cannot mount a small tmpfs here";
    mounted_ = true;
  }
  void TearDown() override {
    if (mounted_) ::umount2(dir_.path().c_str(), MNT_DETACH);
  }
  TempDir dir_;
  bool mounted_ = false;
};

TEST_F(FullDisk, ARewriteThatDoesNotFitKeepsTheOldFile) {
  const std::string path = dir_.file("DOCFILES.IDX");
  writeFile(path, std::string(16000, 'a'));
  // Fill the rest of the file system.
  std::string filler(4096, 'f');
  FILE* f = std::fopen(dir_.file("filler").c_str(), "wb");
  ASSERT_NE(f, nullptr);
  while (std::fwrite(filler.data(), 1, filler.size(), f) == filler.size() && std::fflush(f) == 0) {
  }
  std::fclose(f);
  errno = 0;
  EXPECT_EQ(rewriteFileSafely(path, std::string(40000, 'b'), 0444), Status::WriteFailed);
  EXPECT_EQ(errno, ENOSPC);
  EXPECT_EQ(readFile(path), std::string(16000, 'a'));
  EXPECT_EQ(folderEntries(dir_.path()), (std::vector<std::string>{"DOCFILES.IDX", "filler"}));
}

}  // namespace
}  // namespace hv::platform
