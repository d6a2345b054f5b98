// The alias step the batch print program applies to each listed path.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "batchprint/print_alias.h"
#include "batchprint/print_list.h"
#include "batchprint/tests/batchprint_test_util.h"
#include "tests/support/temp_dir.h"

namespace hv::batchprint {
namespace {

TEST(PrintAlias, CutsOnlyTheFileNameAtItsFirstPoint) {
  hv::test::TempDir dir;
  // A folder name with points: cutting the whole path at its first point
  // would look for a long name "job" in the parent folder and lose the file.
  const std::string folder = dir.file("job.2026.03/");
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  hv::test::writeFile(folder + "OPTI0001.TIF", "drawing");
  test::addAlias(folder, "A123-SH1", "OPTI0001.TIF");
  EXPECT_EQ(resolvePrintPath(folder + "A123-SH1.TIF"), folder + "OPTI0001.TIF");
  EXPECT_EQ(resolvePrintPath(folder + "A123-SH1.rev.b"), folder + "OPTI0001.TIF");
  EXPECT_EQ(resolvePrintPath(folder + "A123-SH1"), folder + "OPTI0001.TIF");
  // Also in a list.
  hv::test::writeFile(dir.file("list"), folder + "a123-sh1.tif\n");
  const PrintList list = readPrintList(dir.file("list"));
  ASSERT_EQ(list.entries.size(), 1u);
  EXPECT_EQ(list.entries[0].path, folder + "OPTI0001.TIF");
  EXPECT_EQ(list.entries[0].state, EntryState::Printable);
}

TEST(PrintAlias, ALongNameKeptWithItsExtensionIsFound) {
  hv::test::TempDir dir;
  hv::test::writeFile(dir.file("OPTI0002.TIF"), "drawing");
  test::addAlias(dir.path(), "B456.SHEET2.TIF", "OPTI0002.TIF");
  EXPECT_EQ(resolvePrintPath(dir.file("B456.SHEET2.TIF")), dir.file("OPTI0002.TIF"));
}

TEST(PrintAlias, UsesTheTranslationOnlyWhenItNamesAnExistingFile) {
  hv::test::TempDir dir;
  // A record whose short file is gone, and one pointing at nothing.
  test::addAlias(dir.path(), "C789", "OPTI0003.TIF");
  EXPECT_EQ(resolvePrintPath(dir.file("C789.TIF")), dir.file("C789.TIF"));
  EXPECT_EQ(resolvePrintPath(dir.file("plain.tif")), dir.file("plain.tif"));
  EXPECT_EQ(resolvePrintPath(dir.file(".hidden.tif")), dir.file(".hidden.tif"));
  EXPECT_EQ(resolvePrintPath(""), "");
  // A file that exists as listed is printed as listed, even when its cut
  // name is a long name of the index.
  hv::test::writeFile(dir.file("OPTI0005.TIF"), "other");
  test::addAlias(dir.path(), "D100", "OPTI0005.TIF");
  hv::test::writeFile(dir.file("D100.tif"), "listed");
  EXPECT_EQ(resolvePrintPath(dir.file("D100.tif")), dir.file("D100.tif"));
}

TEST(PrintAlias, TheListPathIsTranslatedWhenItsLongNameIsIndexed) {
  hv::test::TempDir dir;
  hv::test::writeFile(dir.file("OPTI0009.ALS"), "list");
  test::addAlias(dir.path(), "night batch.txt", "OPTI0009.ALS");
  EXPECT_EQ(resolveListPath(dir.file("night batch.txt")), dir.file("OPTI0009.ALS"));
  EXPECT_EQ(resolveListPath(dir.file("other.txt")), dir.file("other.txt"));
}

}  // namespace
}  // namespace hv::batchprint
