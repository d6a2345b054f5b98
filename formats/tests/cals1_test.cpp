#include <cstring>
#include <gtest/gtest.h>

#include "formats/cals1_header.h"
#include "formats/cals1_layout.h"
#include "formats/file_manager.h"
#include "formats/fm_messages.h"
#include "formats/format_tables.h"
#include "tests/support/temp_dir.h"

namespace hv::formats {
namespace {

using namespace cals;

std::string formAHeader(const char* orient, const char* pelcnt, const char* density) {
  std::string block(kBlockBytes, ' ');
  buildTemplate(block.data());
  auto put = [&](int rec, const std::string& text) {
    block.replace(rec * 128, 128, std::string(128, ' '));
    block.replace(rec * 128, text.size(), text);
  };
  put(form_a::kRType, "rtype: 1");
  put(form_a::kROrient, std::string("rorient: ") + orient);
  put(form_a::kRPelCnt, std::string("rpelcnt: ") + pelcnt);
  put(form_a::kRDensty, std::string("rdensty: ") + density);
  return block.substr(0, kHeaderBytes);
}

ImageFileRecord* openCals(const std::string& path) {
  std::uint32_t offset = 0;
  if (imfGetFileType(nullptr, path.c_str(), &offset) != kFilterCals1) return nullptr;
  return boundFilter(kFilterCals1)->open(nullptr, path.c_str(), kOpenRead, offset);
}

TEST(CalsHeader, TemplateAndRasterRecordsOfFormA) {
  char block[kBlockBytes];
  std::memset(block, ' ', sizeof block);
  buildTemplate(block);
  EXPECT_EQ(recordText(block, 0), "srcdocid: NONE");
  EXPECT_EQ(recordText(block, 10), "notes: NONE");
  setRasterRecords(block, 0, 3, 17600, 13600, 400, 1);
  EXPECT_EQ(recordText(block, 6), "rtype: 1");
  EXPECT_EQ(recordText(block, 7), "rorient: 000,270");
  EXPECT_EQ(recordText(block, 8), "rpelcnt: 017600,013600");
  EXPECT_EQ(recordText(block, 9), "rdensty: 0400");
}

TEST(CalsHeader, FormBTemplateKeepsItsForm) {
  char block[kBlockBytes];
  std::memset(block, ' ', sizeof block);
  std::memcpy(block, "specversion: ", 13);
  buildTemplate(block);
  EXPECT_EQ(recordText(block, 0), "specversion:");
  setRasterRecords(block, 1, 2, 10, 20, 200, 1);
  EXPECT_EQ(recordText(block, 3), "dtype: 1");
  EXPECT_EQ(recordText(block, 4), "rorient: 090,180");
}

TEST(CalsHeader, FindRecordDefaultsToKeywordAndNone) {
  char block[kBlockBytes];
  std::memset(block, ' ', sizeof block);
  buildTemplate(block);
  char out[128];
  EXPECT_EQ(findRecord(block, "DSTDOCID:", out), Status::Ok);
  EXPECT_EQ(std::string(out, 14), "dstdocid: NONE");
  EXPECT_EQ(findRecord(block, "specversion:", out), Status::NotFound);
  EXPECT_EQ(std::string(out, 17), "specversion:NONE ");
}

TEST(Cals1Read, FormAValuesAndDirections) {
  hv::test::TempDir dir;
  std::string path = dir.file("a.cal");
  hv::test::writeFile(path, formAHeader("090,180", "001728,002200", "0300") + std::string(700, '\0'));
  ImageFileRecord* r = openCals(path);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->width, 1728u);
  EXPECT_EQ(r->height, 2200u);
  EXPECT_EQ(r->xResolution, 300u);
  EXPECT_EQ(r->pelPath, 1);
  EXPECT_EQ(r->lineProgression, 2);
  EXPECT_EQ(r->compression, kCompG4);
  ASSERT_EQ(r->strips.count, 1u);
  EXPECT_EQ(r->strips.offsets[0], 2048u);
  EXPECT_EQ(r->strips.byteCounts[0], 700u);
  imfCloseImage(r);
}

TEST(Cals1Read, FormBRecordsInAnyOrder) {
  hv::test::TempDir dir;
  std::string block(kHeaderBytes, ' ');
  const char* recs[] = {"specversion: MIL-PRF-28002C", "rpelcnt: 000640,000480", "datfilid: x",
                        "rorient: 000,270",            "rtype: 1",  // "rtype:" is not a Form B keyword
                        "rdensty: 0200"};
  for (int i = 0; i < 6; ++i) block.replace(i * 128, std::strlen(recs[i]), recs[i]);
  std::string path = dir.file("b.cal");
  hv::test::writeFile(path, block + std::string(10, '\0'));
  ImageFileRecord* r = openCals(path);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->width, 640u);
  EXPECT_EQ(r->height, 480u);
  EXPECT_EQ(r->lineProgression, 3);
  EXPECT_EQ(r->xResolution, 0u);  // rdensty lies after the walk's end
  imfCloseImage(r);
}

TEST(Cals1Read, NearlyBlankSheetOpensButTruncatedHeaderFails) {
  hv::test::TempDir dir;
  std::string header = formAHeader("000,270", "000100,000100", "0200");
  hv::test::writeFile(dir.file("small.cal"), header + std::string(20, '\0'));
  ImageFileRecord* r = openCals(dir.file("small.cal"));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->strips.byteCounts[0], 20u);
  imfCloseImage(r);

  hv::test::writeFile(dir.file("cut.cal"), header.substr(0, 2000));
  r = boundFilter(kFilterCals1)->open(nullptr, dir.file("cut.cal").c_str(), kOpenRead, 0);
  EXPECT_EQ(r, nullptr);
  EXPECT_EQ(lastMessage(), "Unexpected End of File on " + dir.file("cut.cal") + "\n");
}

TEST(Cals1Read, SizesTheEngineCannotHoldAreRefused) {
  hv::test::TempDir dir;
  for (const char* pelcnt : {"070000,000100", "000000,000100", "000100,000000"}) {
    hv::test::writeFile(dir.file("big.cal"), formAHeader("000,270", pelcnt, "0200") + std::string(100, '\0'));
    EXPECT_EQ(openCals(dir.file("big.cal")), nullptr) << pelcnt;
  }
}

}  // namespace
}  // namespace hv::formats
