// Job file names and the safety of writing them: a job never replaces a file
// of another job, a FIFO named as an image is never read, and an image named
// by its long name is copied from its stored short name.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "batchprint/job_files.h"
#include "batchprint/tests/batchprint_test_util.h"
#include "tests/support/temp_dir.h"

namespace hv::batchprint {
namespace {

std::tm clock(int h, int m, int s) {
  std::tm t{};
  t.tm_year = 126;
  t.tm_mday = 1;
  t.tm_hour = h;
  t.tm_min = m;
  t.tm_sec = s;
  return t;
}

TEST(JobNames, FollowTheLocalTimeAndTakeTheNextFreeCounter) {
  hv::test::TempDir dir;
  const std::string base = jobBaseName(dir.path(), clock(14, 5, 9));
  EXPECT_EQ(base, dir.path() + "14050900.");
  EXPECT_EQ(headerFileName(base), dir.path() + "14050900.HDR");
  EXPECT_EQ(imageFileName(base, 2), dir.path() + "14050900.002");
  EXPECT_EQ(imageFileName(base, 1000), dir.path() + "14050900.1000");
  EXPECT_EQ(trailerFileName(base), dir.path() + "14050900.TLR");

  // Any file of the base counts, not only the header; gaps are reused.
  hv::test::writeFile(dir.file("14050900.007"), "x");
  hv::test::writeFile(dir.file("14050901.TLR"), "x");
  hv::test::writeFile(dir.file("14050903.hdr"), "x");
  EXPECT_EQ(jobBaseName(dir.path(), clock(14, 5, 9)), dir.path() + "14050902.");
  // Another second, other names; a name that only starts alike is no job file.
  hv::test::writeFile(dir.file("0000000.HDR"), "x");
  hv::test::writeFile(dir.file("00000000X"), "x");
  EXPECT_EQ(jobBaseName(dir.path(), clock(0, 0, 0)), dir.path() + "00000000.");
}

TEST(JobNames, AllHundredCountersTakenGivesNoName) {
  hv::test::TempDir dir;
  for (int n = 0; n < 100; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "08300%d%02d.HDR", 0, n);
    hv::test::writeFile(dir.file(name), "x");
  }
  EXPECT_EQ(jobBaseName(dir.path(), clock(8, 30, 0)), "");
}

TEST(JobFiles, AreNeverWrittenOverAnExistingFile) {
  hv::test::TempDir dir;
  const std::string image = dir.file("a.tif");
  hv::test::writeFile(image, "image");
  for (const char* name : {"14050900.HDR", "14050900.001", "14050900.TLR"}) hv::test::writeFile(dir.file(name), "other job");
  EXPECT_FALSE(writeJobHeaderAt(dir.file("14050900.HDR"), "h", 1, 2, "L", clock(14, 5, 9)));
  EXPECT_FALSE(WriteJobImage(1, "h", image, dir.file("14050900.001"), 0, 0, "A", "L"));
  EXPECT_FALSE(WriteJobTrailer(dir.file("14050900.TLR"), 1));
  for (const char* name : {"14050900.HDR", "14050900.001", "14050900.TLR"})
    EXPECT_EQ(hv::test::readFile(dir.file(name)), "other job") << name;
  // A symbolic link in the way is not followed either.
  ASSERT_EQ(::symlink(image.c_str(), dir.file("14050901.TLR").c_str()), 0);
  EXPECT_FALSE(WriteJobTrailer(dir.file("14050901.TLR"), 1));
  EXPECT_EQ(hv::test::readFile(image), "image");
}

TEST(JobFiles, AnImageThatCannotBeReadLeavesNoJobFile) {
  hv::test::TempDir dir;
  test::makeFifo(dir.file("pipe"));
  ::mkdir(dir.file("folder").c_str(), 0755);
  // Opening the FIFO for reading would wait for a writer forever.
  EXPECT_FALSE(WriteJobImage(1, "h", dir.file("pipe"), dir.file("1.001"), 0, 0, "A", "L"));
  EXPECT_FALSE(WriteJobImage(1, "h", dir.file("folder"), dir.file("1.002"), 0, 0, "A", "L"));
  EXPECT_FALSE(WriteJobImage(1, "h", dir.file("missing.tif"), dir.file("1.003"), 0, 0, "A", "L"));
  for (const char* name : {"1.001", "1.002", "1.003"}) EXPECT_NE(::access(dir.file(name).c_str(), F_OK), 0) << name;
}

TEST(JobFiles, ALongNameIsCopiedFromItsShortName) {
  hv::test::TempDir dir;
  std::string body(3000, '\0');
  for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>(i * 7);
  hv::test::writeFile(dir.file("OPTI0004.TIF"), body);
  test::addAlias(dir.path(), "F35-SHEET-0004.tif", "OPTI0004.TIF");
  ASSERT_TRUE(WriteJobImage(1, "h", dir.file("F35-SHEET-0004.tif"), dir.file("9.001"), 1, 2, "B", "L"));
  const std::string job = hv::test::readFile(dir.file("9.001"));
  ASSERT_EQ(job.size(), 80 + body.size());
  EXPECT_EQ(job.substr(80), body);
}

}  // namespace
}  // namespace hv::batchprint
