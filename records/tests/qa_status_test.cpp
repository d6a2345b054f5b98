#include "records/qa_status.h"

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace hv::records {
namespace {

using hv::test::TempDir;
using hv::test::writeFile;

struct CollectingSink : StatusSink {
  void showStatus(const std::string& text) override { texts.push_back(text); }
  std::vector<std::string> texts;
};

bool isWritable(const std::string& p) {
  struct stat st {};
  return ::stat(p.c_str(), &st) == 0 && (st.st_mode & 0222) != 0;
}

TEST(QaLock, JobMarkersLockAndWaitingForTranslationIsReportedAlone) {
  TempDir dir;
  const std::string image = dir.file("drawing.tif");
  writeFile(image, "x");
  bool waiting = true;
  EXPECT_TRUE(jobFolderEditable(image, &waiting));
  EXPECT_FALSE(waiting);
  writeFile(dir.file("waitxlat.qa"), "");  // found ignoring case
  EXPECT_FALSE(jobFolderEditable(image, &waiting));
  EXPECT_TRUE(waiting);
  EXPECT_TRUE(isQaLocked(-1, dir.path(), image));
  writeFile(dir.file("UPLOAD.QA"), "");
  EXPECT_FALSE(jobFolderEditable(image, &waiting));
  EXPECT_FALSE(waiting);
}

TEST(QaLock, ReadOnlyOrMissingImagesAreLockedEvenForTheSuperuser) {
  TempDir dir;
  const std::string image = dir.file("drawing.tif");
  writeFile(image, "x");
  ASSERT_EQ(::chmod(image.c_str(), 0444), 0);
  EXPECT_TRUE(isQaLocked(-1, dir.path(), image));
  EXPECT_TRUE(isQaLocked(-1, dir.path(), dir.file("missing/x.tif")));
  EXPECT_FALSE(isQaLocked(-1, dir.path(), ""));
}

TEST(QaLock, IndexQadLocksOnlyImagesWithAHollerithRecord) {
  TempDir dir;
  const std::string image = dir.file("drawing.tif");
  writeFile(image, "x");
  writeFile(dir.file("INDEX.QAD"), "");
  EXPECT_FALSE(isQaLocked(-1, dir.path(), image));  // judged by the job markers
  EXPECT_TRUE(isQaLocked(3, dir.path(), image));
  EXPECT_TRUE(isQaLocked(0, dir.path(), ""));
}

TEST(QaLock, DirectoryOfAPathEndsWithOneSeparator) {
  EXPECT_EQ(directoryOfPath("/a//b///c.tif"), "/a/b/");
  EXPECT_EQ(directoryOfPath("c.tif"), "./");
  EXPECT_EQ(directoryOfPath("/c.tif"), "/");
}

TEST(QaComplete, MarksTheFolderAndLocksEveryImage) {
  TempDir dir;
  for (const char* f : {"OPTI0001.TIF", "opti0002.als", "INDEX.HOL", "jmx.hol", "drawing.tif"})
    writeFile(dir.file(f), "x");
  std::filesystem::create_directory(dir.file("OPTI0003.ALS"));
  ASSERT_EQ(markQaComplete(dir.path().substr(0, dir.path().size() - 1)), Status::Ok);
  EXPECT_EQ(::access(dir.file("COMPLETE.QA").c_str(), F_OK), 0);
  for (const char* f : {"OPTI0001.TIF", "opti0002.als", "INDEX.HOL", "jmx.hol"}) EXPECT_FALSE(isWritable(dir.file(f))) << f;
  EXPECT_TRUE(isWritable(dir.file("drawing.tif")));
  EXPECT_TRUE(isWritable(dir.file("OPTI0003.ALS")));  // folders keep their permissions
  for (const char* f : {"OPTI0001.TIF", "drawing.tif"}) EXPECT_TRUE(isQaLocked(-1, dir.path(), dir.file(f))) << f;
  // Marking again keeps an existing marker of any spelling.
  std::filesystem::rename(dir.file("COMPLETE.QA"), dir.file("complete.qa"));
  EXPECT_EQ(markQaComplete(dir.path()), Status::Ok);
  EXPECT_NE(::access(dir.file("COMPLETE.QA").c_str(), F_OK), 0);
  EXPECT_EQ(markQaComplete(dir.file("missing")), Status::ReadFailed);
}

TEST(QaCleanup, RemovesTheThreePatternsWithProgressTexts) {
  TempDir dir;
  for (const char* f : {"a.OVL", "b.bak", "c.Tg4", "keep.tif"}) writeFile(dir.file(f), "x");
  std::filesystem::create_directory(dir.file("sub"));
  writeFile(dir.file("sub/d.ovl"), "x");
  CollectingSink sink;
  EXPECT_EQ(cleanupFolder(dir.path(), sink), Status::Ok);
  std::vector<std::string> want = {"Removing:  " + dir.path() + "*.OVL", "Removing:  " + dir.path() + "*.BAK",
                                   "Removing:  " + dir.path() + "*.TG4", "Completed Removal of OVL,BAK and TG4 files"};
  EXPECT_EQ(sink.texts, want);
  for (const char* f : {"a.OVL", "b.bak", "c.Tg4"}) EXPECT_NE(::access(dir.file(f).c_str(), F_OK), 0) << f;
  EXPECT_EQ(::access(dir.file("keep.tif").c_str(), F_OK), 0);
  EXPECT_EQ(::access(dir.file("sub/d.ovl").c_str(), F_OK), 0);
  // A folder that cannot be cleaned still gets every progress text.
  CollectingSink missing;
  EXPECT_EQ(cleanupFolder(dir.file("missing"), missing), Status::WriteFailed);
  EXPECT_EQ(missing.texts.size(), 4u);
}

}  // namespace
}  // namespace hv::records
