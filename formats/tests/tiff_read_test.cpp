#include <gtest/gtest.h>

#include "formats/file_manager.h"
#include "formats/fm_messages.h"
#include "formats/format_tables.h"
#include "formats/tiff_tags.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tiff_builder.h"

namespace hv::formats {
namespace {

ImageFileRecord* openTiff(const std::string& path) {
  std::uint32_t offset = 0;
  if (imfGetFileType(nullptr, path.c_str(), &offset) != kFilterTiff) return nullptr;
  return boundFilter(kFilterTiff)->open(nullptr, path.c_str(), kOpenRead, offset);
}

hv::test::TiffBuilder basic(bool big, std::uint32_t width = 64, std::uint32_t height = 8) {
  hv::test::TiffBuilder b(big);
  std::uint32_t at = b.addData(std::string(32, '\x55'));
  b.shortTag(kTiffImageWidth, {width}).shortTag(kTiffImageLength, {height}).strips({at}, {32});
  return b;
}

TEST(TiffRead, DefaultsWhenOptionalTagsAreAbsent) {
  hv::test::TempDir dir;
  for (bool big : {false, true}) {
    hv::test::writeFile(dir.file("t.tif"), basic(big).build());
    ImageFileRecord* r = openTiff(dir.file("t.tif"));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->compression, kCompG4);  // no Compression tag
    EXPECT_EQ(r->photometric, 1);        // no PhotometricInterpretation
    EXPECT_EQ(r->fillOrder, 0);
    EXPECT_EQ(r->strips.rowsPerStrip, 8u);
    EXPECT_EQ(r->pelPath, 0);
    EXPECT_EQ(r->lineProgression, 3);
    imfCloseImage(r);
  }
}

TEST(TiffRead, TagsMapToTheRecord) {
  hv::test::TempDir dir;
  for (bool big : {false, true}) {
    auto b = basic(big);
    b.shortTag(kTiffCompression, {kTiffGroup3})
        .longTag(kTiffT4Options, {1})
        .shortTag(kTiffPhotometric, {0})
        .shortTag(kTiffFillOrder, {2})
        .shortTag(kTiffOrientation, {6})
        .rationalTag(kTiffXResolution, 400, 1)
        .rationalTag(kTiffYResolution, 801, 2);
    hv::test::writeFile(dir.file("t.tif"), b.build());
    ImageFileRecord* r = openTiff(dir.file("t.tif"));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->compression, kCompG3TwoD);
    EXPECT_EQ(r->photometric, 0);
    EXPECT_EQ(r->fillOrder, 1);
    EXPECT_EQ(r->pelPath, 3);
    EXPECT_EQ(r->lineProgression, 2);
    EXPECT_EQ(r->xResolution, 400u);
    EXPECT_EQ(r->yResolution, 400u);
    imfCloseImage(r);
  }
}

TEST(TiffRead, RefusalsCarryTheirMessages) {
  hv::test::TempDir dir;
  auto lzw = basic(false);
  lzw.shortTag(kTiffCompression, {kTiffLzw});
  hv::test::writeFile(dir.file("lzw.tif"), lzw.build());
  EXPECT_EQ(openTiff(dir.file("lzw.tif")), nullptr);
  EXPECT_EQ(lastMessage(), "TIFF File Manager: LZW compressed files are not supported.");

  auto jpeg = basic(false);
  jpeg.shortTag(kTiffCompression, {7});
  hv::test::writeFile(dir.file("jpeg.tif"), jpeg.build());
  EXPECT_EQ(openTiff(dir.file("jpeg.tif")), nullptr);
  EXPECT_EQ(lastMessage(), "TIFF File Manager: Unknown compression scheme 7");

  hv::test::TiffBuilder noWidth;
  std::uint32_t at = noWidth.addData("xx");
  noWidth.shortTag(kTiffImageLength, {4}).strips({at}, {2});
  hv::test::writeFile(dir.file("nowidth.tif"), noWidth.build());
  EXPECT_EQ(openTiff(dir.file("nowidth.tif")), nullptr);
  EXPECT_EQ(lastMessage(), "Manditory TIFF Tags not present in image file");

  hv::test::TiffBuilder wide;
  at = wide.addData("xx");
  wide.longTag(kTiffImageWidth, {70000}).shortTag(kTiffImageLength, {4}).strips({at}, {2});
  hv::test::writeFile(dir.file("wide.tif"), wide.build());
  EXPECT_EQ(openTiff(dir.file("wide.tif")), nullptr);
  EXPECT_NE(lastMessage().find("65535"), std::string::npos);

  std::string bad = basic(false).build();
  bad[2] = 43;
  hv::test::writeFile(dir.file("v43.tif"), bad);
  std::uint32_t off = 0;
  EXPECT_EQ(boundFilter(kFilterTiff)->open(nullptr, dir.file("v43.tif").c_str(), kOpenRead, off), nullptr);
  EXPECT_EQ(lastMessage(), "TIFF version in file is not '42' (0x2A)");
}

TEST(TiffRead, HostileStripTablesAreRefusedNotAllocated) {
  hv::test::TempDir dir;
  hv::test::TiffBuilder b;
  b.shortTag(kTiffImageWidth, {100}).shortTag(kTiffImageLength, {100});
  // Claims a billion strips whose table lies far beyond the file.
  b.longTag(kTiffStripOffsets, {1, 2}).longTag(kTiffStripByteCounts, {1, 2});
  std::string file = b.build();
  // Patch the StripOffsets count to 1e9.
  std::size_t dirAt = static_cast<unsigned char>(file[4]) | static_cast<unsigned char>(file[5]) << 8;
  for (std::size_t e = dirAt + 2; e + 12 <= file.size(); e += 12)
    if (static_cast<unsigned char>(file[e]) == (273 & 0xFF) && file[e + 1] == 1) {
      file[e + 4] = 0;
      file[e + 5] = '\xCA';
      file[e + 6] = '\x9A';
      file[e + 7] = 0x3B;
    }
  hv::test::writeFile(dir.file("h.tif"), file);
  EXPECT_EQ(openTiff(dir.file("h.tif")), nullptr);
}

TEST(TiffRead, TiledFilesGetCodeEightAndTileTables) {
  hv::test::TempDir dir;
  hv::test::TiffBuilder b;
  std::uint32_t t0 = b.addData(std::string(10, 'a'));
  std::uint32_t t1 = b.addData(std::string(12, 'b'));
  b.shortTag(kTiffImageWidth, {600})
      .shortTag(kTiffImageLength, {500})
      .shortTag(kTiffCompression, {kTiffGroup4})
      .shortTag(kTiffTileWidth, {512})
      .shortTag(kTiffTileLength, {512})
      .longTag(kTiffTileOffsets, {t0, t1})
      .longTag(kTiffTileByteCounts, {10, 12});
  hv::test::writeFile(dir.file("tiled.tif"), b.build());
  ImageFileRecord* r = openTiff(dir.file("tiled.tif"));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->compression, kCompTiled);
  EXPECT_EQ(r->sourceCompression, kCompG4);
  EXPECT_EQ(r->tiles.count, 2);
  EXPECT_EQ(r->tiles.across, 2);
  EXPECT_EQ(r->tiles.down, 1);
  ImageInformation info = imageInformation(r);
  bool sawFactor = false;
  for (const auto& f : info.fields)
    if (f.label == "Compression Factor") {
      EXPECT_EQ(f.value, "1704.54");  // (600 + 7) / 8 * 500 * 100 / 22
      sawFactor = true;
    }
  EXPECT_TRUE(sawFactor);
  imfCloseImage(r);
}

}  // namespace
}  // namespace hv::formats

namespace hv::formats {
namespace {

// Resolution of a file with the given unit (0: no ResolutionUnit tag).
std::pair<std::uint32_t, std::uint32_t> resolutionOf(std::uint32_t unit, std::uint32_t xNum, std::uint32_t xDen,
                                                     std::uint32_t yNum, std::uint32_t yDen) {
  hv::test::TempDir dir;
  hv::test::TiffBuilder b(false);
  std::uint32_t at = b.addData(std::string(32, '\x55'));
  b.shortTag(kTiffImageWidth, {64}).shortTag(kTiffImageLength, {8}).strips({at}, {32});
  b.rationalTag(kTiffXResolution, xNum, xDen).rationalTag(kTiffYResolution, yNum, yDen);
  if (unit != 0) b.shortTag(kTiffResolutionUnit, {unit});
  hv::test::writeFile(dir.file("t.tif"), b.build());
  ImageFileRecord* r = openTiff(dir.file("t.tif"));
  if (r == nullptr) return {0, 0};
  std::pair<std::uint32_t, std::uint32_t> out{r->xResolution, r->yResolution};
  imfCloseImage(r);
  return out;
}

TEST(TiffRead, CentimetreResolutionsBecomeDotsPerInchRoundedToTheNearest) {
  using P = std::pair<std::uint32_t, std::uint32_t>;
  EXPECT_EQ(resolutionOf(3, 7874, 100, 11811, 100), (P{200, 300}));  // 78.74 and 118.11 per cm
  EXPECT_EQ(resolutionOf(3, 79, 1, 0, 0), (P{201, 0}));               // 200.66 rounds up; 0/0 stays unknown
  EXPECT_EQ(resolutionOf(2, 7874, 100, 300, 1), (P{78, 300}));       // inches as they stand
  EXPECT_EQ(resolutionOf(1, 400, 1, 400, 1), (P{400, 400}));         // no unit: the numbers as they stand
  EXPECT_EQ(resolutionOf(0, 400, 1, 400, 1), (P{400, 400}));
}

}  // namespace
}  // namespace hv::formats
