#include "platform/atomic_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace hv::platform {
namespace {

using hv::test::fileMode;
using hv::test::folderEntries;
using hv::test::readFile;
using hv::test::TempDir;
using hv::test::writeFile;

bool writeAll(const std::string& path, const std::string& bytes, AtomicFile& f) {
  return f.open(path) == Status::Ok && f.write(bytes.data(), bytes.size()) == Status::Ok &&
         f.commit() == Status::Ok;
}

class UmaskGuard {
 public:
  explicit UmaskGuard(mode_t m) : old_(::umask(m)) {}
  ~UmaskGuard() { ::umask(old_); }

 private:
  mode_t old_;
};

TEST(AtomicFile, NewFilesGetTheUsualModeAndExistingFilesKeepTheirs) {
  TempDir dir;
  UmaskGuard mask(027);
  AtomicFile f;
  ASSERT_TRUE(writeAll(dir.file("new.pbm"), "abc", f)) << f.error();
  EXPECT_EQ(fileMode(dir.file("new.pbm")) & 0777, 0640u);
  writeFile(dir.file("old.pbm"), "old");
  ASSERT_EQ(::chmod(dir.file("old.pbm").c_str(), 0604), 0);
  AtomicFile g;
  ASSERT_TRUE(writeAll(dir.file("old.pbm"), "new", g)) << g.error();
  EXPECT_EQ(readFile(dir.file("old.pbm")), "new");
  EXPECT_EQ(fileMode(dir.file("old.pbm")) & 0777, 0604u);
  EXPECT_EQ(folderEntries(dir.path()), (std::vector<std::string>{"new.pbm", "old.pbm"}));
}

TEST(AtomicFile, AFileReplacedByRootKeepsItsOwner) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root";
  TempDir dir;
  writeFile(dir.file("theirs"), "old");
  ASSERT_EQ(::chown(dir.file("theirs").c_str(), 4321, 4322), 0);
  AtomicFile f;
  ASSERT_TRUE(writeAll(dir.file("theirs"), "new", f)) << f.error();
  struct stat st {};
  ASSERT_EQ(::stat(dir.file("theirs").c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 4321u);
  EXPECT_EQ(st.st_gid, 4322u);
}

TEST(AtomicFile, ASymbolicLinkIsWrittenThroughInItsTargetsFolder) {
  TempDir dir, other;
  writeFile(other.file("target"), "old");
  ASSERT_EQ(::chmod(other.file("target").c_str(), 0600), 0);
  ASSERT_EQ(::symlink(other.file("target").c_str(), dir.file("link").c_str()), 0);
  // A chain of relative links ends at the same target.
  ASSERT_EQ(::symlink("link", dir.file("link2").c_str()), 0);
  AtomicFile f;
  ASSERT_TRUE(writeAll(dir.file("link2"), "new", f)) << f.error();
  EXPECT_TRUE(S_ISLNK(fileMode(dir.file("link"))));
  EXPECT_TRUE(S_ISLNK(fileMode(dir.file("link2"))));
  EXPECT_EQ(readFile(other.file("target")), "new");
  EXPECT_EQ(fileMode(other.file("target")) & 0777, 0600u);
  // A dangling link creates its target.
  ASSERT_EQ(::symlink(other.file("fresh").c_str(), dir.file("dangling").c_str()), 0);
  AtomicFile g;
  ASSERT_TRUE(writeAll(dir.file("dangling"), "made", g)) << g.error();
  EXPECT_EQ(readFile(other.file("fresh")), "made");
  EXPECT_EQ(folderEntries(other.path()), (std::vector<std::string>{"fresh", "target"}));
}

TEST(AtomicFile, AFolderIsRefusedWithTheSystemsReason) {
  TempDir dir;
  ASSERT_EQ(::mkdir(dir.file("sub").c_str(), 0755), 0);
  AtomicFile f;
  EXPECT_EQ(f.open(dir.file("sub")), Status::WriteFailed);
  EXPECT_EQ(errno, EISDIR);
  EXPECT_EQ(f.error(), dir.file("sub") + ": Is a directory");
  AtomicFile g;
  EXPECT_EQ(g.open(dir.file("missing/x")), Status::WriteFailed);
  EXPECT_EQ(g.error(), dir.file("missing/x") + ": No such file or directory");
}

TEST(AtomicFile, AFullDeviceIsWrittenStraightIntoAndNeverReplaced) {
  struct stat before {};
  ASSERT_EQ(::stat("/dev/full", &before), 0);
  AtomicFile f;
  ASSERT_EQ(f.open("/dev/full"), Status::Ok) << f.error();
  EXPECT_TRUE(f.streaming());
  EXPECT_EQ(f.write("x", 1), Status::WriteFailed);
  EXPECT_EQ(errno, ENOSPC);
  EXPECT_EQ(f.errorNumber(), ENOSPC);
  EXPECT_EQ(f.error(), "/dev/full: No space left on device");
  // Through the staging file of a writer that opens by name.
  AtomicFile g;
  ASSERT_EQ(g.open("/dev/full"), Status::Ok);
  std::string staging;
  ASSERT_EQ(g.writerPath(staging), Status::Ok);
  ASSERT_FALSE(staging.empty());
  writeFile(staging, "bytes");
  EXPECT_EQ(g.commit(), Status::WriteFailed);
  EXPECT_EQ(errno, ENOSPC);
  EXPECT_NE(::access(staging.c_str(), F_OK), 0);
  struct stat after {};
  ASSERT_EQ(::stat("/dev/full", &after), 0);
  EXPECT_TRUE(S_ISCHR(after.st_mode));
  EXPECT_EQ(after.st_rdev, before.st_rdev);
  // /dev/null takes anything.
  AtomicFile n;
  ASSERT_TRUE(writeAll("/dev/null", "gone", n)) << n.error();
}

TEST(AtomicFile, AFifoAndStandardOutputAreWrittenStraightInto) {
  TempDir dir;
  const std::string fifo = dir.file("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string got;
  std::thread reader([&] { got = readFile(fifo); });
  AtomicFile f;
  EXPECT_TRUE(writeAll(fifo, "through the pipe", f)) << f.error();
  reader.join();
  EXPECT_EQ(got, "through the pipe");
  EXPECT_TRUE(S_ISFIFO(fileMode(fifo)));

  // "-" is standard output: point it at a file for the test.
  const int saved = ::dup(STDOUT_FILENO);
  int fd = ::open(dir.file("stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(fd, 0);
  ::dup2(fd, STDOUT_FILENO);
  ::close(fd);
  AtomicFile s;
  const bool ok = s.open("-") == Status::Ok && s.write("to standard output", 18) == Status::Ok &&
                  s.commit() == Status::Ok;
  const bool stillOpen = ::fcntl(STDOUT_FILENO, F_GETFD) >= 0;
  ::dup2(saved, STDOUT_FILENO);
  ::close(saved);
  EXPECT_TRUE(ok) << s.error();
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(readFile(dir.file("stdout")), "to standard output");
}

TEST(AtomicFile, AnAbandonedOrFailedWriteLeavesTheOldFileAndNoTemporary) {
  TempDir dir;
  writeFile(dir.file("out"), "old");
  {
    AtomicFile f;
    ASSERT_EQ(f.open(dir.file("out")), Status::Ok);
    ASSERT_EQ(f.write("partial", 7), Status::Ok);
    std::string temp;
    ASSERT_EQ(f.writerPath(temp), Status::Ok);
    EXPECT_EQ(temp.rfind(dir.file(".out."), 0), 0u);
  }  // dropped without commit
  EXPECT_EQ(readFile(dir.file("out")), "old");
  EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"out"});
  if (::geteuid() != 0) {
    // A folder that cannot be written names the user's file and the reason.
    ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
    AtomicFile g;
    EXPECT_EQ(g.open(dir.file("out")), Status::WriteFailed);
    EXPECT_EQ(g.error(), dir.file("out") + ": Permission denied");
    ::chmod(dir.path().c_str(), 0755);
  }
}

TEST(AtomicFile, IndexRewritesRefuseADeviceOrFifoInsteadOfReplacingIt) {
  TempDir dir;
  ASSERT_EQ(::mkfifo(dir.file("INDEX.HOL").c_str(), 0600), 0);
  AtomicFile::Options replace;
  replace.links = AtomicFile::Links::Replace;
  replace.mode = 0644;
  AtomicFile f;
  EXPECT_EQ(f.open(dir.file("INDEX.HOL"), replace), Status::WriteFailed);
  EXPECT_TRUE(S_ISFIFO(fileMode(dir.file("INDEX.HOL"))));
  EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"INDEX.HOL"});
}

}  // namespace
}  // namespace hv::platform
