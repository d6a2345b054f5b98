#include "formats/identify.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "formats/file_manager.h"
#include "formats/tag_tables.h"
#include "formats/format_tables.h"
#include "formats/tiff_tags.h"
#include "tests/support/oda_builder.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tiff_builder.h"

namespace hv::formats {
namespace {

struct Ident {
  int ok, documentType, filter, compression;
  std::uint32_t offset;
};

Ident identify(const std::string& path) {
  Ident r{};
  r.offset = 12345;
  r.ok = imfTypeDosFile(path.c_str(), &r.documentType, &r.filter, &r.compression, &r.offset);
  return r;
}

std::string calsHeader(char rtype) {
  std::string h(2048, ' ');
  auto put = [&](int rec, const std::string& text) { h.replace(rec * 128, text.size(), text); };
  put(0, "srcdocid: NONE");
  put(6, std::string("rtype: ") + rtype);
  put(8, "rpelcnt: 000100,000050");
  return h;
}

TEST(Identify, NullArgumentsAndMissingFiles) {
  int a = 7, b = 7, c = 7;
  std::uint32_t off = 7;
  EXPECT_EQ(imfTypeDosFile(nullptr, &a, &b, &c, &off), 0);
  EXPECT_EQ(imfTypeDosFile("/x", &a, nullptr, &c, &off), 0);
  EXPECT_EQ(a, 7);  // untouched
  Ident r = identify("/nonexistent/file.tif");
  EXPECT_EQ(r.ok, 0);
  EXPECT_EQ(r.offset, 12345u);  // a file that cannot be opened leaves it
  EXPECT_EQ(identifyFile("/nonexistent/file.tif").status(), Status::ReadFailed);
  EXPECT_EQ(identifyFile(nullptr).status(), Status::BadArgument);
}

// A FIFO without a writer (or a device) in a drawing's place is looked at
// without waiting for data that never comes, and is not recognised.
TEST(Identify, AFifoIsNotWaitedFor) {
  hv::test::TempDir dir;
  ASSERT_EQ(::mkfifo(dir.file("pipe.tif").c_str(), 0644), 0);
  Ident r = identify(dir.file("pipe.tif"));
  EXPECT_EQ(r.ok, 0);
  EXPECT_EQ(r.offset, kSecondPassOffset);
  EXPECT_EQ(identifyFile(dir.file("pipe.tif").c_str()).status(), Status::NotFound);
}

TEST(Identify, TiffCompressionVariants) {
  hv::test::TempDir dir;
  struct Case {
    std::vector<std::uint32_t> compression;
    int t4;
    int fill;
    int expected;
  } cases[] = {
      {{}, -1, -1, kIdentUnknown},
      {{kTiffNoCompression}, -1, -1, kIdentRawMsb},
      {{kTiffNoCompression}, -1, kTiffFillLsbFirst, kIdentRawLsb},
      {{kTiffModifiedHuffman}, -1, -1, kIdentModHuffman},
      {{kTiffGroup3}, 0, -1, kIdentG3OneD},
      {{kTiffGroup3}, kTiffT4TwoDimensional, -1, kIdentG3TwoD},
      {{kTiffGroup4}, -1, -1, kIdentG4},
      {{kTiffLzw}, -1, -1, kIdentUnknown},
      {{kTiffPackBits}, -1, -1, kIdentPackBits},
      {{kTiffG4Wrap}, -1, -1, kIdentG4Wrap},
  };
  for (bool big : {false, true}) {
    for (const Case& c : cases) {
      hv::test::TiffBuilder b(big);
      b.shortTag(kTiffImageWidth, {8}).shortTag(kTiffImageLength, {8});
      if (!c.compression.empty()) b.shortTag(kTiffCompression, c.compression);
      if (c.t4 >= 0) b.longTag(kTiffT4Options, {static_cast<std::uint32_t>(c.t4)});
      if (c.fill >= 0) b.shortTag(kTiffFillOrder, {static_cast<std::uint32_t>(c.fill)});
      std::string path = dir.file("t.tif");
      hv::test::writeFile(path, b.build());
      Ident r = identify(path);
      EXPECT_EQ(r.ok, 1);
      EXPECT_EQ(r.filter, kFilterTiff);
      EXPECT_EQ(r.compression, c.expected) << "compression " << (c.compression.empty() ? 0 : c.compression[0])
                                           << " big " << big;
      EXPECT_EQ(r.offset, 0u);
    }
  }
}

TEST(Identify, CalsWithAndWithoutEightyBytePrefix) {
  hv::test::TempDir dir;
  std::string cals = calsHeader('1') + std::string(600, '\0');
  hv::test::writeFile(dir.file("a.cal"), cals);
  hv::test::writeFile(dir.file("b.cal"), std::string(80, 'x') + cals);
  Ident a = identify(dir.file("a.cal")), b = identify(dir.file("b.cal"));
  EXPECT_EQ(a.ok, 1);
  EXPECT_EQ(a.filter, kFilterCals1);
  EXPECT_EQ(a.compression, kIdentG4);
  EXPECT_EQ(a.offset, 0u);
  EXPECT_EQ(b.ok, 1);
  EXPECT_EQ(b.filter, kFilterCals1);
  EXPECT_EQ(b.offset, 80u);
}

TEST(Identify, CalsTypeTwoNeedsItsRasterTag) {
  hv::test::TempDir dir;
  std::string good = calsHeader('2') + std::string(1, '\xA0') + std::string(100, '\0');
  std::string bad = calsHeader('2') + std::string(101, '\0');
  hv::test::writeFile(dir.file("good.cal"), good);
  hv::test::writeFile(dir.file("bad.cal"), bad);
  EXPECT_EQ(identify(dir.file("good.cal")).filter, kFilterCals2);
  Ident r = identify(dir.file("bad.cal"));
  EXPECT_EQ(r.ok, 0);
  EXPECT_EQ(r.offset, 80u);
}

TEST(Identify, CalsTypeTwoWithoutItsHeaderBlock) {
  hv::test::TempDir dir;
  hv::test::OdaSpec spec;
  spec.width = spec.height = 512;
  spec.calsHeader = false;
  spec.tiles = {hv::test::OdaTile{0, {}}};
  std::string file = hv::test::buildCals2(spec);
  ASSERT_EQ(static_cast<unsigned char>(file[0]), 0xA0);
  hv::test::writeFile(dir.file("raster.c2"), file);
  Ident r = identify(dir.file("raster.c2"));
  EXPECT_EQ(r.ok, 1);
  EXPECT_EQ(r.filter, kFilterCals2);
  std::uint32_t offset = 0;
  setTagTableDirectory(std::string(HV_SOURCE_DIR) + "/share/");
  ASSERT_EQ(imfGetFileType(nullptr, dir.file("raster.c2").c_str(), &offset), kFilterCals2);
  ImageFileRecord* rec = boundFilter(kFilterCals2)->open(nullptr, dir.file("raster.c2").c_str(), kOpenRead, offset);
  ASSERT_NE(rec, nullptr);
  EXPECT_EQ(rec->width, 512u);
  imfCloseImage(rec);
  // 0xA0 followed by a length beyond the file is not taken for a raster.
  hv::test::writeFile(dir.file("noise.bin"), std::string("\xA0\x84\x7F\xFF\xFF\xFF\x30\x00", 8));
  EXPECT_EQ(identify(dir.file("noise.bin")).ok, 0);
}

TEST(Identify, NameLedDocuments) {
  hv::test::TempDir dir;
  std::string hol(100, ' ');
  hol.replace(0, 10, "srcdocid: ");
  hv::test::writeFile(dir.file("index.hol"), hol);
  EXPECT_EQ(identify(dir.file("index.hol")).documentType, kDocumentHollerith);
  // An INDEX.HOL without the tag falls through to the content tests.
  hv::test::writeFile(dir.file("INDEX.HOL"), std::string(100, ' '));
  EXPECT_EQ(identify(dir.file("INDEX.HOL")).ok, 0);

  hv::test::writeFile(dir.file("D001"), "srcsys: X\n");
  EXPECT_EQ(identify(dir.file("D001")).documentType, kDocument1840A);
  hv::test::writeFile(dir.file("D002"), "version: 2\n");
  Ident b = identify(dir.file("D002"));
  EXPECT_EQ(b.documentType, kDocument1840B);
  EXPECT_EQ(b.filter, kFilterCals2);
  hv::test::writeFile(dir.file("D003"), "nothing here\n");
  EXPECT_EQ(identify(dir.file("D003")).ok, 0);
  hv::test::writeFile(dir.file("D0_1"), "srcsys: X\n");
  EXPECT_EQ(identify(dir.file("D0_1")).ok, 0);

  hv::test::writeFile(dir.file("x.pdf"), "%PDF-1.4\n");
  Ident pdf = identify(dir.file("x.pdf"));
  EXPECT_EQ(pdf.filter, kFilterPdf);
  EXPECT_EQ(pdf.documentType, kDocumentNone);

  std::string ie(32, '\0');
  ie[0] = ie[1] = '\xF9';
  hv::test::writeFile(dir.file("img.g4"), ie);
  EXPECT_EQ(identify(dir.file("img.g4")).filter, kFilterImportExport);
}

TEST(Identify, TiffDirectoryIsExaminedOnItsFirst85Entries) {
  hv::test::TempDir dir;
  hv::test::TiffBuilder b;
  for (std::uint16_t t = 1; t <= 90; ++t) b.shortTag(t, {0});
  b.shortTag(kTiffCompression, {kTiffGroup4});  // entry 91 after sorting: beyond the first 85
  hv::test::writeFile(dir.file("many.tif"), b.build());
  Ident r = identify(dir.file("many.tif"));
  EXPECT_EQ(r.filter, kFilterTiff);
  EXPECT_EQ(r.compression, kIdentUnknown);
}

TEST(FormatTables, LookupAcceptsCodesWithoutTrailingBlanks) {
  EXPECT_EQ(findImageFormat("TIFFGP4"), 5);
  EXPECT_EQ(findImageFormat("tiffgp4w"), 6);
  EXPECT_EQ(findImageFormat("AUD RAWM"), 14);
  EXPECT_EQ(findImageFormat("CAL1GP4 "), 0);
  EXPECT_EQ(findImageFormat("NOPE"), -1);
}

}  // namespace
}  // namespace hv::formats
