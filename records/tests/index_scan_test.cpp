#include "records/index_scan.h"

#include <filesystem>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace hv::records {
namespace {

using hv::test::TempDir;
using hv::test::writeFile;

bool startsWithA(const char* record) { return record[0] == 'A'; }

TEST(IndexScan, TellsAbsentUnreadableAndReadFilesApart) {
  TempDir dir;
  IndexScan absent(dir.file("NONE.HOL"), 4, 1000, nullptr);
  EXPECT_EQ(absent.shape().status, Status::NotFound);

  std::filesystem::create_directory(dir.file("DIR.HOL"));
  IndexScan folder(dir.file("DIR.HOL"), 4, 1000, nullptr);
  EXPECT_EQ(folder.shape().status, Status::ReadFailed);
  EXPECT_FALSE(folder.shape().reason.empty());

  writeFile(dir.file("BIG.HOL"), std::string(40, 'A'));
  IndexScan big(dir.file("BIG.HOL"), 4, 39, nullptr);
  EXPECT_EQ(big.shape().status, Status::ReadFailed);
  EXPECT_NE(big.shape().reason.find("larger than"), std::string::npos);

  // Three records, one unlike, two bytes left over.
  writeFile(dir.file("IDX.HOL"), "AAAABBBBAAAAxy");
  IndexScan scan(dir.file("IDX.HOL"), 4, 1000, startsWithA);
  const IndexShape& s = scan.shape();
  EXPECT_EQ(s.status, Status::Ok);
  EXPECT_EQ(s.records, 3u);
  EXPECT_EQ(s.leftover, 2u);
  EXPECT_EQ(s.unlike, 1u);
  EXPECT_EQ(s.firstUnlike, std::vector<std::uint64_t>{1});
  EXPECT_FALSE(s.sound());
  std::string seen;
  EXPECT_EQ(scan.forEach([&](std::uint64_t, const char* rec) { seen.append(rec, 4); }), Status::Ok);
  EXPECT_EQ(seen, "AAAABBBBAAAA");
  // Walking a file that was not read delivers nothing.
  EXPECT_EQ(folder.forEach([&](std::uint64_t, const char*) { ADD_FAILURE(); }), Status::Ok);
}

// A file cut short after it was measured is not passed off as listed whole.
TEST(IndexScan, AFileThatShrankAfterTheScanEndsTheWalkAsDataEnded) {
  TempDir dir;
  writeFile(dir.file("IDX.HOL"), "AAAAAAAAAAAA");
  IndexScan scan(dir.file("IDX.HOL"), 4, 1000, startsWithA);
  ASSERT_EQ(scan.shape().records, 3u);
  ASSERT_EQ(::truncate(dir.file("IDX.HOL").c_str(), 6), 0);
  std::uint64_t count = 0;
  EXPECT_EQ(scan.forEach([&](std::uint64_t, const char*) { ++count; }), Status::DataEnded);
  EXPECT_EQ(count, 1u);
}

}  // namespace
}  // namespace hv::records
