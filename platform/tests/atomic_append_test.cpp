// appendFileAtomically: the old contents and the new bytes land together or
// not at all, only regular files are touched, and nothing blocks on a FIFO.
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/atomic_file.h"
#include "tests/support/rewrite_faults.h"
#include "tests/support/temp_dir.h"

namespace hv::platform {
namespace {

using hv::test::fileMode;
using hv::test::folderEntries;
using hv::test::readFile;
using hv::test::StepFault;
using hv::test::StepFaultGuard;
using hv::test::TempDir;
using hv::test::writeFile;

// Larger than one copy block and than one write chunk, with every byte value.
std::string oldContents() {
  std::string s;
  for (int i = 0; i < 70000; ++i) s += char((i * 7) % 256);
  return s;
}

TEST(AtomicAppend, AddsToTheOldContentsOrCreatesTheFile) {
  TempDir dir;
  const std::string path = dir.file("FILEDATA.TXT");
  ASSERT_EQ(appendFileAtomically(path, "one\r\n"), Status::Ok);
  ASSERT_EQ(appendFileAtomically(path, "two\r\n"), Status::Ok);
  EXPECT_EQ(readFile(path), "one\r\ntwo\r\n");
  writeFile(path, oldContents());
  ASSERT_EQ(appendFileAtomically(path, std::string("\0tail", 5)), Status::Ok);
  EXPECT_EQ(readFile(path), oldContents() + std::string("\0tail", 5));
  // Nothing to add still rewrites the file unchanged.
  ASSERT_EQ(appendFileAtomically(path, ""), Status::Ok);
  EXPECT_EQ(readFile(path), oldContents() + std::string("\0tail", 5));
  EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"FILEDATA.TXT"});
}

TEST(AtomicAppend, TheFileKeepsItsModeAndIsFlushedBeforeTheRename) {
  TempDir dir;
  const std::string path = dir.file("list");
  writeFile(path, "old\n");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  StepFault f;
  {
    StepFaultGuard guard(&f);
    ASSERT_EQ(appendFileAtomically(path, "new\n"), Status::Ok);
  }
  EXPECT_EQ(readFile(path), "old\nnew\n");
  EXPECT_EQ(fileMode(path) & 07777, 0640u);
  using S = RewriteStep;
  const std::vector<S> want{S::CreateTemp, S::Write,    S::Write,  S::SetMode,
                            S::SyncFile,   S::CloseFile, S::Rename, S::SyncFolder};
  EXPECT_EQ(f.steps, want);
}

TEST(AtomicAppend, AFailureAtAnyStepBeforeTheRenameKeepsTheOldFileAndNoTemporary) {
  const std::string old = oldContents();
  for (int at = 0;; ++at) {
    SCOPED_TRACE("step " + std::to_string(at));
    TempDir dir;
    const std::string path = dir.file("list");
    writeFile(path, old);
    StepFault f;
    f.failAt = at;
    f.err = ENOSPC;
    bool ok;
    {
      StepFaultGuard guard(&f);
      errno = 0;
      ok = appendFileAtomically(path, "added") == Status::Ok;
    }
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"list"});
    if (f.seen <= at) {  // every step ran: the append is complete
      EXPECT_TRUE(ok);
      EXPECT_EQ(readFile(path), old + "added");
      break;
    }
    if (f.steps.back() == RewriteStep::SyncFolder) {
      // Renamed already; only the folder flush failed, which is no failure.
      EXPECT_TRUE(ok);
      EXPECT_EQ(readFile(path), old + "added");
    } else {
      EXPECT_FALSE(ok);
      EXPECT_EQ(errno, ENOSPC);
      EXPECT_EQ(readFile(path), old);
    }
  }
}

TEST(AtomicAppend, ASymbolicLinkIsFollowedAndStaysALink) {
  TempDir dir, other;
  writeFile(other.file("target"), "old|");
  ASSERT_EQ(::symlink(other.file("target").c_str(), dir.file("link").c_str()), 0);
  ASSERT_EQ(appendFileAtomically(dir.file("link"), "new"), Status::Ok);
  EXPECT_TRUE(S_ISLNK(fileMode(dir.file("link"))));
  EXPECT_EQ(readFile(other.file("target")), "old|new");
  EXPECT_EQ(folderEntries(other.path()), std::vector<std::string>{"target"});
}

TEST(AtomicAppend, AnythingButARegularFileIsRefusedWithoutBlocking) {
  TempDir dir;
  // A FIFO without a reader would block an open for writing, one without a
  // writer a read: the append opens it neither way.
  ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
  ASSERT_EQ(::symlink(dir.file("pipe").c_str(), dir.file("to-pipe").c_str()), 0);
  ASSERT_EQ(::mkdir(dir.file("sub").c_str(), 0755), 0);
  for (const char* name : {"pipe", "to-pipe"}) {
    errno = 0;
    EXPECT_EQ(appendFileAtomically(dir.file(name), "x"), Status::WriteFailed) << name;
    EXPECT_EQ(errno, ENXIO) << name;
  }
  EXPECT_EQ(appendFileAtomically(dir.file("sub"), "x"), Status::WriteFailed);
  EXPECT_EQ(errno, EISDIR);
  for (const char* device : {"/dev/null", "/dev/full", "-", "/dev/stdout"}) {
    errno = 0;
    EXPECT_EQ(appendFileAtomically(device, "x"), Status::WriteFailed) << device;
    EXPECT_EQ(errno, ENXIO) << device;
  }
  EXPECT_TRUE(S_ISFIFO(fileMode(dir.file("pipe"))));
  EXPECT_TRUE(S_ISCHR(fileMode("/dev/null")));
  EXPECT_EQ(folderEntries(dir.path()), (std::vector<std::string>{"pipe", "sub", "to-pipe"}));
  // A missing folder is the system's own reason.
  EXPECT_EQ(appendFileAtomically(dir.file("missing/list"), "x"), Status::WriteFailed);
  EXPECT_EQ(errno, ENOENT);
}

}  // namespace
}  // namespace hv::platform
