#include "docindex/docfiles_store.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "docindex/docfiles_cache.h"
#include "docindex/docfiles_fileops.h"
#include "docindex/docfiles_translate.h"
#include "docindex/docfiles_verify.h"
#include "docindex/tests/docfiles_test_util.h"
#include "platform/safe_rewrite.h"
#include "tests/support/temp_dir.h"

namespace hv::docindex {
namespace {

using hv::test::readFile;
using hv::test::TempDir;
using hv::test::writeFile;
using test::rawRecord;
namespace fs = std::filesystem;

std::size_t entryCount(const std::string& dir) {
  std::size_t n = 0;
  for (auto& e : fs::directory_iterator(dir)) (void)e, ++n;
  return n;
}

unsigned modeOf(const std::string& p) {
  struct stat st {};
  ::stat(p.c_str(), &st);
  return st.st_mode & 0777;
}

class Store : public ::testing::Test {
 protected:
  void TearDown() override {
    (void)flushIndexCache();
    setDefaultTifMode(false);
    setDefaultPdfMode(false);
  }
  TempDir dir_;
};

TEST_F(Store, NewShortNamesTakeTheLowestFreeNumber) {
  writeFile(dir_.file("OPTI0000.TIF"), "");
  writeFile(dir_.file("opti0001.tif"), "");
  writeFile(dir_.file("OPTI0003.ALS"), "");
  EXPECT_EQ(newShortName(dir_.path(), nullptr).value_or(""), "OPTI0002.ALS");
  EXPECT_EQ(newShortName(dir_.path(), "TIF").value_or(""), "OPTI0002.TIF");
  EXPECT_EQ(newShortName(dir_.path(), ".pdf").value_or(""), "OPTI0002.pdf");
  EXPECT_EQ(newShortName(dir_.path(), "").value_or(""), "OPTI0002.ALS");
  setDefaultTifMode(true);
  EXPECT_EQ(newShortName(dir_.path(), nullptr).value_or(""), "OPTI0002.TIF");
  setDefaultTifMode(false);
  setDefaultPdfMode(true);
  EXPECT_EQ(newShortName(dir_.path(), nullptr).value_or(""), "OPTI0002.PDF");
  writeFile(dir_.file("OPTI12345.TIF"), "");
  EXPECT_FALSE(newShortName(dir_.path(), "TIF"));
  EXPECT_FALSE(newShortName(dir_.file("missing"), "TIF"));
  // Registration tells the two reasons apart, and creates nothing.
  EXPECT_EQ(createAliasedFile(dir_.path() + "Sheet", 0, "TIF").status(), Status::Unsupported);
  EXPECT_EQ(createAliasedFile(dir_.file("missing/Sheet"), 0, "TIF").status(), Status::Failed);  // no folder to lock
  EXPECT_FALSE(fs::exists(dir_.file("DOCFILES.IDX")));
}

TEST_F(Store, AppendWritesByteExactRecordsCarryingThePreviousLetters) {
  ASSERT_EQ(appendRecord(dir_.path(), "First Drawing", "OPTI0000.TIF", 'W'), Status::Ok);
  ASSERT_EQ(appendRecord(dir_.path(), std::string(64, 'L'), "OPTI0001.TIF", 'R'), Status::Ok);
  ASSERT_EQ(appendRecord(dir_.path(), "Third", "OPTI0002.TIF", 'W'), Status::Ok);
  std::string want = rawRecord("First Drawing", "OPTI0000.TIF", 'W') +
                     rawRecord(std::string(64, 'L'), "OPTI0001.TIF", 'R', 'W', '\0') +
                     rawRecord("Third", "OPTI0002.TIF", 'W', 'R', 'W');
  EXPECT_EQ(readFile(dir_.file("DOCFILES.IDX")), want);
  EXPECT_EQ(modeOf(dir_.file("DOCFILES.IDX")), 0444u);  // read-only between updates
  // The 64-character name has no terminator and translates whole.
  EXPECT_EQ(translateToShort(dir_.path() + std::string(64, 'L'))->path, dir_.path() + "OPTI0001.TIF");
  EXPECT_EQ(appendRecord(dir_.path(), "bad/name", "OPTI0003.TIF", 'W'), Status::BadArgument);
  EXPECT_EQ(appendRecord(dir_.path(), "fine", "../OPTI0003", 'W'), Status::BadArgument);
  EXPECT_EQ(appendRecord(dir_.path(), std::string(65, 'x'), "OPTI0003.TIF", 'W'), Status::BadArgument);
  EXPECT_EQ(readFile(dir_.file("DOCFILES.IDX")), want);
}

// An index that is there but cannot be read is never taken for an empty one:
// no edit writes over it and the reader says so.
TEST_F(Store, AnUnreadableIndexIsReportedAndLeftAlone) {
  fs::create_directory(dir_.file("DOCFILES.IDX"));
  RecordList records;
  bool exists = false;
  EXPECT_EQ(readIndexFresh(dir_.file("DOCFILES.IDX"), records, exists), Status::ReadFailed);
  EXPECT_TRUE(exists);
  EXPECT_EQ(readIndexFresh(dir_.file("none/DOCFILES.IDX"), records, exists), Status::Ok);
  EXPECT_FALSE(exists);
  EXPECT_EQ(appendRecord(dir_.path(), "Sheet", "OPTI0000.TIF", 'W'), Status::ReadFailed);
  EXPECT_EQ(removeRecord(dir_.path(), "Sheet", nullptr), Status::ReadFailed);
  EXPECT_EQ(indexChecksum(dir_.path()).status(), Status::ReadFailed);
  EXPECT_TRUE(fs::is_directory(dir_.file("DOCFILES.IDX")));
}

TEST_F(Store, RemoveDropsEveryMatchAndTheLastRecordRemovesTheIndex) {
  writeFile(dir_.file("DOCFILES.IDX"), rawRecord("Twice", "OPTI0000.TIF", 'W') + rawRecord("Other", "OPTI0001.TIF", 'W') +
                                           rawRecord("TWICE", "OPTI0002.TIF", 'R'));
  ::chmod(dir_.file("DOCFILES.IDX").c_str(), 0444);
  char access = 0;
  ASSERT_EQ(removeRecord(dir_.path(), "twice", &access), Status::Ok);
  EXPECT_EQ(access, 'R');
  EXPECT_EQ(readFile(dir_.file("DOCFILES.IDX")), rawRecord("Other", "OPTI0001.TIF", 'W'));
  EXPECT_EQ(modeOf(dir_.file("DOCFILES.IDX")), 0444u);
  access = 0;
  EXPECT_EQ(removeRecord(dir_.path(), "missing", &access), Status::NotFound);
  EXPECT_EQ(access, 0);
  ASSERT_EQ(removeRecord(dir_.path(), "Other", &access), Status::Ok);
  EXPECT_EQ(entryCount(dir_.path()), 0u);
  EXPECT_EQ(removeRecord(dir_.path(), "Other", &access), Status::NotFound);  // no index at all
}

TEST_F(Store, UpdateRenamesOneRecordAndRefusesDuplicatesAndBadNames) {
  writeFile(dir_.file("DOCFILES.IDX"), rawRecord("Old", "OPTI0000.TIF", 'W') + rawRecord("Taken", "OPTI0001.TIF", 'W'));
  EXPECT_EQ(updateLongName(dir_.path(), "opti0000.tif", "New Name"), Status::Ok);
  EXPECT_EQ(updateLongName(dir_.path(), "OPTI0000.TIF", "taken"), Status::NothingToDo);
  EXPECT_EQ(updateLongName(dir_.path(), "OPTI0000.TIF", "../up"), Status::BadArgument);
  EXPECT_EQ(updateLongName(dir_.path(), "OPTI0009.TIF", "x"), Status::NotFound);
  EXPECT_EQ(readFile(dir_.file("DOCFILES.IDX")),
            rawRecord("New Name", "OPTI0000.TIF", 'W') + rawRecord("Taken", "OPTI0001.TIF", 'W'));
}

TEST_F(Store, RegisterCreatesTheShortFileAndItsRecord) {
  writeFile(dir_.file("OPTI0000.TIF"), "");
  int fd = registerLongName(dir_.path() + "A Long Drawing Name", 256, "TIF");
  ASSERT_GE(fd, 0);
  EXPECT_EQ(::write(fd, "abc", 3), 3);
  ::close(fd);
  EXPECT_EQ(readFile(dir_.file("OPTI0001.TIF")), "abc");
  EXPECT_EQ(modeOf(dir_.file("OPTI0001.TIF")), 0444u);
  EXPECT_EQ(readFile(dir_.file("DOCFILES.IDX")), rawRecord("A Long Drawing Name", "OPTI0001.TIF", 'R'));
  errno = 0;
  EXPECT_EQ(registerLongName(dir_.path() + "..", 0, "TIF"), -1);
  EXPECT_EQ(errno, ENOENT);
  errno = 0;
  EXPECT_EQ(registerLongName(dir_.file("missing/x"), 0, "TIF"), -1);
  EXPECT_EQ(errno, ENOENT);
  EXPECT_EQ(createAliasedFile(dir_.path() + "..", 0, "TIF").status(), Status::BadArgument);
}

TEST_F(Store, DeleteRefusesReadOnlyFilesAndOtherwiseRemovesFileAndRecord) {
  writeFile(dir_.file("DOCFILES.IDX"), rawRecord("Keep Me", "OPTI0000.TIF", 'R') + rawRecord("Go", "OPTI0001.TIF", 'W'));
  writeFile(dir_.file("OPTI0000.TIF"), "k");
  writeFile(dir_.file("OPTI0001.TIF"), "g");
  ::chmod(dir_.file("OPTI0000.TIF").c_str(), 0444);
  const std::string before = readFile(dir_.file("DOCFILES.IDX"));
  errno = 0;
  EXPECT_EQ(deleteLongFile(dir_.path() + "Keep Me", nullptr), -1);
  EXPECT_EQ(errno, EACCES);
  EXPECT_EQ(readFile(dir_.file("DOCFILES.IDX")), before);
  EXPECT_EQ(deleteLongFile(dir_.path() + "Go", nullptr), 0);
  EXPECT_FALSE(fs::exists(dir_.file("OPTI0001.TIF")));
  EXPECT_EQ(readFile(dir_.file("DOCFILES.IDX")), rawRecord("Keep Me", "OPTI0000.TIF", 'R'));
  errno = 0;
  EXPECT_EQ(deleteLongFile(dir_.path() + "Nothing", nullptr), -1);
  EXPECT_EQ(errno, ENOENT);
}

TEST_F(Store, RenameAndLongFileOperations) {
  writeFile(dir_.file("DOCFILES.IDX"), rawRecord("Sheet 1", "OPTI0000.TIF", 'W'));
  writeFile(dir_.file("OPTI0000.TIF"), "data");
  writeFile(dir_.file("plain"), "p");
  EXPECT_EQ(renameLongFile(dir_.path() + "Sheet 1", dir_.path() + "Sheet One"), 0);
  EXPECT_EQ(translateToShort(dir_.path() + "Sheet One")->path, dir_.file("OPTI0000.TIF"));
  EXPECT_EQ(renameLongFile(dir_.path() + "plain", dir_.path() + "plain2"), 0);
  EXPECT_TRUE(fs::exists(dir_.file("plain2")));
  writeFile(dir_.file("other"), "o");
  errno = 0;
  EXPECT_EQ(renameLongFile(dir_.path() + "plain2", dir_.path() + "other"), -1);  // never replaces
  EXPECT_EQ(errno, EEXIST);  // as the system reported it
  EXPECT_EQ(readFile(dir_.file("other")), "o");
  // An aliased file stays in its folder, and keeps its name when the new one
  // is taken or not a name.
  fs::create_directory(dir_.file("sub"));
  errno = 0;
  EXPECT_EQ(renameLongFile(dir_.path() + "Sheet One", dir_.path() + "sub/Sheet One"), -1);
  EXPECT_EQ(errno, EXDEV);
  fs::remove(dir_.file("DOCFILES.IDX"));
  writeFile(dir_.file("DOCFILES.IDX"), rawRecord("Sheet One", "OPTI0000.TIF", 'W') + rawRecord("Taken", "OPTI0001.TIF", 'W'));
  for (const std::string& name : {std::string("taken"), std::string(65, 'x')}) {
    errno = 0;
    EXPECT_EQ(renameLongFile(dir_.path() + "Sheet One", dir_.path() + name), -1) << name;
    EXPECT_EQ(errno, ENOENT) << name;
  }
  errno = 0;
  EXPECT_EQ(statLongFile(dir_.path() + "Sheet One", nullptr), -1);
  EXPECT_EQ(errno, EINVAL);

  int fd = openLongFile(dir_.path() + "Sheet One", O_RDONLY);
  ASSERT_GE(fd, 0);
  char buf[8] = {};
  EXPECT_EQ(endOfLongFile(fd), 0);
  EXPECT_EQ(readLongFile(fd, buf, sizeof buf), 4);
  EXPECT_EQ(std::string(buf), "data");
  EXPECT_EQ(endOfLongFile(fd), 1);
  EXPECT_EQ(seekLongFile(fd, 1, SEEK_SET), 1);
  EXPECT_EQ(closeLongFile(fd), 0);
  struct stat st {};
  EXPECT_EQ(statLongFile(dir_.path() + "Sheet One", &st), 0);
  EXPECT_EQ(st.st_size, 4);
}

TEST_F(Store, ChecksumAndVerification) {
  EXPECT_EQ(indexChecksum(dir_.path()).status(), Status::NotFound);
  writeFile(dir_.file("DOCFILES.IDX"), "");
  EXPECT_EQ(indexChecksum(dir_.path()).valueOr(0), 0xA5A5);
  // Long names summing to 0xA5A5 give 0, reported as 1: 0xA5A5 = 42405 =
  // 333 * 127 + 114; split over records of 64 bytes.
  std::string names(333, '\x7f');
  names.push_back('\x72');
  std::string file;
  for (std::size_t at = 0; at < names.size(); at += 64) file += rawRecord(names.substr(at, 64), "OPTI0000.TIF", 'W');
  writeFile(dir_.file("DOCFILES.IDX"), file);
  EXPECT_EQ(indexChecksum(dir_.path()).valueOr(0), 1);
  // Bytes above 0x7F count negative.
  writeFile(dir_.file("DOCFILES.IDX"), rawRecord("\xff", "OPTI0000.TIF", 'W'));
  EXPECT_EQ(indexChecksum(dir_.path()).valueOr(0), (-1) ^ 0xA5A5);

  fs::create_directory(dir_.file("job"));
  writeFile(dir_.file("job/DOCFILES.IDX"), rawRecord("A", "OPTI0000.TIF", 'W'));
  const int sum = indexChecksum(dir_.file("job")).valueOr(0);
  writeFile(dir_.file("bid.ini"), "[BidSet]\njob=" + std::to_string(sum) + "\nother=5\n");
  EXPECT_TRUE(verifyIndex(dir_.file("bid.ini"), dir_.path(), "job"));
  EXPECT_FALSE(verifyIndex(dir_.file("bid.ini"), dir_.path(), "other"));
  EXPECT_FALSE(verifyIndex(dir_.file("bid.ini"), dir_.path(), "absent"));
}

// A failure at any step of the rewrite leaves the index as it was (or, past
// the rename, exactly the new one) and the cache never shows an unwritten
// change.
TEST_F(Store, FailuresAtEveryRewriteStepLoseNothing) {
  const std::string before = rawRecord("One", "OPTI0000.TIF", 'W') + rawRecord("Two", "OPTI0001.TIF", 'W');
  for (int op = 0; op < 3; ++op) {
    for (int at = 0;; ++at) {
      SCOPED_TRACE("operation " + std::to_string(op) + " step " + std::to_string(at));
      TempDir dir;
      writeFile(dir.file("DOCFILES.IDX"), before);
      struct Plan {
        int at, seen = 0;
      } plan{at};
      platform::setRewriteFaultHook(
          [](platform::RewriteStep, void* c) {
            auto* p = static_cast<Plan*>(c);
            return p->seen++ == p->at ? EIO : 0;
          },
          &plan);
      Status status = Status::Failed;
      std::string after;
      if (op == 0) {
        status = appendRecord(dir.path(), "Three", "OPTI0002.TIF", 'W');
        after = before + rawRecord("Three", "OPTI0002.TIF", 'W', 'W');
      } else if (op == 1) {
        status = removeRecord(dir.path(), "One", nullptr);
        after = rawRecord("Two", "OPTI0001.TIF", 'W');
      } else {
        status = updateLongName(dir.path(), "OPTI0001.TIF", "Deux");
        after = rawRecord("One", "OPTI0000.TIF", 'W') + rawRecord("Deux", "OPTI0001.TIF", 'W');
      }
      platform::setRewriteFaultHook(nullptr, nullptr);
      const bool ok = status == Status::Ok;
      if (!ok) {
        EXPECT_EQ(status, Status::WriteFailed);
      }
      EXPECT_EQ(readFile(dir.file("DOCFILES.IDX")), ok ? after : before);
      EXPECT_EQ(entryCount(dir.path()), 1u);
      const std::string probe = dir.path() + (op == 0 ? "Three" : op == 1 ? "One" : "Deux");
      EXPECT_EQ(translateToShort(probe)->path != probe, op == 1 ? !ok : ok);
      (void)flushIndexCache();
      if (plan.seen <= at) break;
    }
  }
}

}  // namespace
}  // namespace hv::docindex
