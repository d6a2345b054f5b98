#include "docindex/docfiles_translate.h"

#include <filesystem>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "docindex/docfiles_cache.h"
#include "docindex/tests/docfiles_test_util.h"
#include "tests/support/temp_dir.h"

namespace hv::docindex {
namespace {

using hv::test::TempDir;
using hv::test::writeFile;
using test::rawRecord;
namespace fs = std::filesystem;

class Translate : public ::testing::Test {
 protected:
  void TearDown() override {
    (void)flushIndexCache();
    slashModeOff();
  }
  TempDir dir_;
};

TEST_F(Translate, LongComponentsBecomeTheirShortNamesAndBack) {
  fs::create_directory(dir_.file("OPTI0001.ALS"));
  writeFile(dir_.file("DOCFILES.IDX"), rawRecord("Job Folder One", "OPTI0001.ALS", 'W'));
  writeFile(dir_.file("OPTI0001.ALS/DOCFILES.IDX"), rawRecord("drawing 7.tif", "OPTI0000.TIF", 'R'));
  writeFile(dir_.file("OPTI0001.ALS/OPTI0000.TIF"), "x");
  auto s = translateToShort(dir_.path() + "job folder ONE/Drawing 7.TIF");
  ASSERT_TRUE(s);
  EXPECT_EQ(s->path, dir_.path() + "OPTI0001.ALS/OPTI0000.TIF");
  EXPECT_EQ(s->access, 'R');
  auto l = translateToLong(s->path);
  ASSERT_TRUE(l);
  EXPECT_EQ(l->path, dir_.path() + "Job Folder One/drawing 7.tif");
  // A trailing separator is kept; a path that exists as written is itself.
  EXPECT_EQ(translateToShort(dir_.path() + "Job Folder One/")->path, dir_.path() + "OPTI0001.ALS/");
  EXPECT_EQ(translateToShort(dir_.file("OPTI0001.ALS/OPTI0000.TIF"))->path, dir_.file("OPTI0001.ALS/OPTI0000.TIF"));
  EXPECT_EQ(translateToShort(dir_.path() + "unknown/x")->path, dir_.path() + "unknown/x");
  EXPECT_FALSE(translateToShort(""));
}

TEST_F(Translate, IndexNameIsFoundIgnoringCase) {
  writeFile(dir_.file("docfiles.idx"), rawRecord("Long", "OPTI0000.TIF", 'W'));
  EXPECT_EQ(translateToShort(dir_.path() + "long")->path, dir_.path() + "OPTI0000.TIF");
  EXPECT_EQ(indexPath(dir_.path()).value_or(""), dir_.file("docfiles.idx"));
  EXPECT_EQ(indexPath(dir_.file("sub")).value_or(""), dir_.file("sub/DOCFILES.IDX"));
}

TEST_F(Translate, CraftedRecordsThatWouldLeaveTheFolderAreIgnored) {
  writeFile(dir_.file("DOCFILES.IDX"), rawRecord("a", "../../etc", 'W') + rawRecord("b", "x/y", 'W') +
                                           rawRecord("c", "x\\y", 'W') + rawRecord("d", "..", 'W') +
                                           rawRecord("e", ".", 'W') + rawRecord("f/g", "OPTI0001.TIF", 'W') +
                                           rawRecord("h\\i", "OPTI0002.TIF", 'W') + rawRecord("..", "OPTI0003.TIF", 'W') +
                                           rawRecord("j", std::string(13, 'J'), 'W') + rawRecord("k", "", 'W') +
                                           rawRecord("ok", "OPTI0004.TIF", 'W'));
  for (const char* name : {"a", "b", "c", "d", "e", "j", "k"})
    EXPECT_EQ(translateToShort(dir_.path() + name)->path, dir_.path() + name) << name;
  EXPECT_EQ(translateToLong(dir_.path() + "OPTI0001.TIF")->path, dir_.path() + "OPTI0001.TIF");
  EXPECT_EQ(translateToLong(dir_.path() + "OPTI0002.TIF")->path, dir_.path() + "OPTI0002.TIF");
  EXPECT_EQ(translateToLong(dir_.path() + "OPTI0003.TIF")->path, dir_.path() + "OPTI0003.TIF");
  EXPECT_EQ(translateToShort(dir_.path() + "ok")->path, dir_.path() + "OPTI0004.TIF");
  // "." and ".." of the path itself are never looked up.
  EXPECT_EQ(translateToShort(dir_.path() + "../" )->path, dir_.path() + "../");
}

TEST_F(Translate, BackslashSeparatesOnlyInSlashMode) {
  fs::create_directory(dir_.file("OPTI0001.ALS"));
  writeFile(dir_.file("DOCFILES.IDX"), rawRecord("Folder", "OPTI0001.ALS", 'W') + rawRecord("a\\b", "OPTI0009.TIF", 'W'));
  writeFile(dir_.file("OPTI0001.ALS/DOCFILES.IDX"), rawRecord("Sheet", "OPTI0000.TIF", 'W'));
  std::string mixed = dir_.path() + "Folder\\Sheet";
  EXPECT_EQ(translateToShort(mixed)->path, mixed);  // one component, no record
  slashModeOn();
  EXPECT_EQ(translateToShort(mixed)->path, dir_.path() + "OPTI0001.ALS/OPTI0000.TIF");
  EXPECT_EQ(indexPath(dir_.path() + "OPTI0001.ALS\\").value_or(""), dir_.file("OPTI0001.ALS/DOCFILES.IDX"));
  slashModeOff();
  // A long name holding '\' is refused in either mode.
  EXPECT_EQ(translateToShort(dir_.path() + "a\\b")->path, dir_.path() + "a\\b");
}

TEST_F(Translate, LongNameTest) {
  const std::string name64(64, 'N');
  writeFile(dir_.file("DOCFILES.IDX"), rawRecord("Long Name", "OPTI0000.TIF", 'W') + rawRecord(name64, "OPTI0001.TIF", 'W'));
  writeFile(dir_.file("plain.tif"), "");
  EXPECT_TRUE(isLongName(dir_.path() + "Long Name"));
  EXPECT_TRUE(isLongName(dir_.path() + name64));  // translated
  EXPECT_TRUE(isLongName(dir_.path() + std::string(64, 'q')));  // untranslated, 64 characters
  EXPECT_FALSE(isLongName(dir_.path() + "plain.tif"));
  EXPECT_FALSE(isLongName(dir_.path() + "missing.tif"));
}

TEST_F(Translate, TheCacheSeesIndexesChangedByOtherPrograms) {
  writeFile(dir_.file("DOCFILES.IDX"), rawRecord("Name", "OPTI0000.TIF", 'W'));
  EXPECT_EQ(translateToShort(dir_.path() + "Name")->path, dir_.path() + "OPTI0000.TIF");
  // Another program replaces the index with one of the same size.
  writeFile(dir_.file("DOCFILES.IDX.new"), rawRecord("Name", "OPTI0005.TIF", 'W'));
  fs::rename(dir_.file("DOCFILES.IDX.new"), dir_.file("DOCFILES.IDX"));
  EXPECT_EQ(translateToShort(dir_.path() + "Name")->path, dir_.path() + "OPTI0005.TIF");
  fs::remove(dir_.file("DOCFILES.IDX"));
  EXPECT_EQ(translateToShort(dir_.path() + "Name")->path, dir_.path() + "Name");
}

}  // namespace
}  // namespace hv::docindex
