#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/ccitt_encode.h"
#include "engine/grx_status.h"
#include "engine/image_handle.h"
#include "engine/image_memory.h"
#include "engine/packed.h"
#include "formats/fm_messages.h"
#include "formats/tiff_tags.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tiff_builder.h"

namespace hv::engine {
namespace {

std::vector<Transition> lineOf(const ImageMemory* mem, std::uint32_t y) {
  const Transition* l = getLine(mem, y);
  return std::vector<Transition>(l, l + listLength(l, mem->width));
}

std::vector<std::uint8_t> rowOf(const ImageMemory* mem, std::uint32_t y) {
  std::vector<std::uint8_t> row((mem->width + 7) / 8, 0);
  listToBits(getLine(mem, y), mem->width, row.data(), 0, mem->width);
  return row;
}

ImageHdl openAndLoad(const std::string& path) {
  ImageHdl h = grxOpenImage(nullptr, path.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
  if (h == nullptr) return nullptr;
  if (!grxLoadImageMemory(h, nullptr)) {
    grxCloseImage(h);
    return nullptr;
  }
  return h;
}

// 12 x 3 pixels, rows of 2 bytes.
const std::string kRaw = std::string("\xF0\x30\x00\x00\x81\xF0", 6);

TEST(ImageLoad, UncompressedStripsInBothPhotometricSenses) {
  hv::test::TempDir dir;
  for (int photometric : {0, 1}) {
    hv::test::TiffBuilder b;
    std::uint32_t at = b.addData(kRaw);
    b.shortTag(formats::kTiffImageWidth, {12})
        .shortTag(formats::kTiffImageLength, {3})
        .shortTag(formats::kTiffCompression, {formats::kTiffNoCompression})
        .shortTag(formats::kTiffPhotometric, {std::uint32_t(photometric)})
        .strips({at}, {6});
    hv::test::writeFile(dir.file("raw.tif"), b.build());
    ImageHdl h = openAndLoad(dir.file("raw.tif"));
    ASSERT_NE(h, nullptr);
    std::uint8_t flip = photometric ? 0xFF : 0x00;
    EXPECT_EQ(rowOf(h->memory, 0)[0], 0xF0 ^ flip);
    EXPECT_EQ(rowOf(h->memory, 0)[1] & 0xF0, (0x30 ^ flip) & 0xF0);
    EXPECT_EQ(rowOf(h->memory, 2)[0], 0x81 ^ flip);
    EXPECT_EQ(lineOf(h->memory, 1), photometric ? (std::vector<Transition>{0, 12}) : (std::vector<Transition>{12}));
    grxCloseImage(h);
  }
}

TEST(ImageLoad, PackBitsAcrossSeveralStrips) {
  hv::test::TempDir dir;
  hv::test::TiffBuilder b;
  // Strip 0: row 0 literal F0 30, row 1 repeat 00 twice. Strip 1: row 2 literal.
  std::uint32_t a0 = b.addData(std::string("\x01\xF0\x30\xFF\x00", 5));
  std::uint32_t a1 = b.addData(std::string("\x01\x81\xF0", 3));
  b.shortTag(formats::kTiffImageWidth, {12})
      .shortTag(formats::kTiffImageLength, {3})
      .shortTag(formats::kTiffCompression, {formats::kTiffPackBits})
      .shortTag(formats::kTiffPhotometric, {0})
      .shortTag(formats::kTiffRowsPerStrip, {2})
      .strips({a0, a1}, {5, 3});
  hv::test::writeFile(dir.file("pb.tif"), b.build());
  ImageHdl h = openAndLoad(dir.file("pb.tif"));
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(lineOf(h->memory, 0), (std::vector<Transition>{0, 4, 10, 12}));
  EXPECT_EQ(lineOf(h->memory, 1), (std::vector<Transition>{12}));
  EXPECT_EQ(lineOf(h->memory, 2), (std::vector<Transition>{0, 1, 7, 12}));
  grxCloseImage(h);
}

TEST(ImageLoad, CodedDataEndingEarlyLeavesBlankLines) {
  hv::test::TempDir dir;
  hv::test::TiffBuilder b;
  // Group 4: eight all-white lines, each one V0 code (a single 1 bit), for
  // an image of 100 lines; min-is-black so that decoded white shows black.
  std::uint32_t at = b.addData(std::string("\xFF", 1));
  b.shortTag(formats::kTiffImageWidth, {40})
      .shortTag(formats::kTiffImageLength, {100})
      .shortTag(formats::kTiffCompression, {formats::kTiffGroup4})
      .shortTag(formats::kTiffPhotometric, {1})
      .strips({at}, {1});
  hv::test::writeFile(dir.file("g4.tif"), b.build());
  ImageHdl h = openAndLoad(dir.file("g4.tif"));
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(lineOf(h->memory, 7), (std::vector<Transition>{0, 40}));   // decoded white, shown black
  EXPECT_EQ(lineOf(h->memory, 8), (std::vector<Transition>{40}));      // not reached: white paper
  EXPECT_EQ(lineOf(h->memory, 99), (std::vector<Transition>{40}));
  grxCloseImage(h);
}

// Group 4 data of the given lines, as a writer stores it (first bit most significant).
std::string g4Strip(std::uint32_t width, const std::vector<std::vector<Transition>>& lines) {
  ImageMemory* m = createImageMemory(1, width, static_cast<std::uint32_t>(lines.size()));
  for (std::uint32_t y = 0; y < lines.size(); ++y) EXPECT_EQ(putLineCopy(m, y, lines[y].data(), lines[y].size()), Status::Ok);
  std::vector<std::uint8_t> bytes;
  EXPECT_EQ(encodeToBytes(m, formats::kCompG4, bytes), hv::Status::Ok);
  freeImageMemory(m);
  return std::string(bytes.begin(), bytes.end());
}

TEST(ImageLoad, EveryStripStartsAtItsOwnRowWhenOneBeforeItEndsEarly) {
  // Two strips of ten rows; the first is cut in the middle of its data, so a
  // few of its rows (and half a row) are lost. The second strip's rows must
  // still be rows 10 to 19, and the lost rows stay blank.
  std::vector<std::vector<Transition>> first, second;
  for (std::uint16_t y = 0; y < 10; ++y) {
    first.push_back({std::uint16_t(3 * y), std::uint16_t(3 * y + 7), 64});
    second.push_back({40, std::uint16_t(45 + y), 64});
  }
  std::string s0 = g4Strip(64, first), s1 = g4Strip(64, second);
  s0.resize(s0.size() / 2);
  hv::test::TempDir dir;
  for (bool emptyMiddle : {false, true}) {
    // Also across an empty strip: its rows are blank and the next one's stay in place.
    hv::test::TiffBuilder b;
    std::uint32_t a0 = b.addData(s0), a1 = b.addData(s1);
    b.shortTag(formats::kTiffImageWidth, {64})
        .shortTag(formats::kTiffCompression, {formats::kTiffGroup4})
        .shortTag(formats::kTiffPhotometric, {0})
        .shortTag(formats::kTiffRowsPerStrip, {10});
    if (emptyMiddle) {
      b.shortTag(formats::kTiffImageLength, {30})
          .strips({a0, a1, a1}, {std::uint32_t(s0.size()), 0, std::uint32_t(s1.size())});
    } else {
      b.shortTag(formats::kTiffImageLength, {20})
          .strips({a0, a1}, {std::uint32_t(s0.size()), std::uint32_t(s1.size())});
    }
    hv::test::writeFile(dir.file("cut.tif"), b.build());
    ImageHdl h = openAndLoad(dir.file("cut.tif"));
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(lineOf(h->memory, 0), first[0]);
    EXPECT_EQ(lineOf(h->memory, 9), (std::vector<Transition>{64}));
    const std::uint32_t at = emptyMiddle ? 20 : 10;
    if (emptyMiddle) {
      EXPECT_EQ(lineOf(h->memory, 15), (std::vector<Transition>{64}));
    }
    for (std::uint32_t y = 0; y < 10; ++y) EXPECT_EQ(lineOf(h->memory, at + y), second[y]) << "row " << at + y;
    grxCloseImage(h);
  }
}

TEST(ImageLoad, AStripHoldingMoreRowsThanItsShareGivesOnlyItsOwnRows) {
  // RowsPerStrip 10, but the first strip codes 14 rows: its last four are not
  // part of the image, and the second strip still begins at row 10.
  std::vector<std::vector<Transition>> first, second;
  for (std::uint16_t y = 0; y < 14; ++y) first.push_back({std::uint16_t(2 * y), std::uint16_t(2 * y + 5), 64});
  for (std::uint16_t y = 0; y < 10; ++y) second.push_back({40, std::uint16_t(45 + y), 64});
  const std::string s0 = g4Strip(64, first), s1 = g4Strip(64, second);
  hv::test::TempDir dir;
  hv::test::TiffBuilder b;
  std::uint32_t a0 = b.addData(s0), a1 = b.addData(s1);
  b.shortTag(formats::kTiffImageWidth, {64})
      .shortTag(formats::kTiffImageLength, {20})
      .shortTag(formats::kTiffCompression, {formats::kTiffGroup4})
      .shortTag(formats::kTiffPhotometric, {0})
      .shortTag(formats::kTiffRowsPerStrip, {10})
      .strips({a0, a1}, {std::uint32_t(s0.size()), std::uint32_t(s1.size())});
  hv::test::writeFile(dir.file("long.tif"), b.build());
  ImageHdl h = openAndLoad(dir.file("long.tif"));
  ASSERT_NE(h, nullptr);
  for (std::uint32_t y = 0; y < 10; ++y) EXPECT_EQ(lineOf(h->memory, y), first[y]) << "row " << y;
  for (std::uint32_t y = 0; y < 10; ++y) EXPECT_EQ(lineOf(h->memory, 10 + y), second[y]) << "row " << 10 + y;
  grxCloseImage(h);
}

TEST(ImageLoad, TiledUncompressedImagesJoinTheirTiles) {
  hv::test::TempDir dir;
  hv::test::TiffBuilder b;
  // 20 x 18 image in 16 x 16 tiles: 2 x 2 tiles, each 16 rows of 2 bytes.
  auto tile = [](std::uint8_t left, std::uint8_t right) {
    std::string t;
    for (int r = 0; r < 16; ++r) {
      t += static_cast<char>(left);
      t += static_cast<char>(right);
    }
    return t;
  };
  std::uint32_t t0 = b.addData(tile(0x00, 0x01));  // black at tile column 15
  std::uint32_t t1 = b.addData(tile(0xC0, 0x00));  // black at tile columns 0-1
  std::uint32_t t2 = b.addData(tile(0xFF, 0xFF));
  std::uint32_t t3 = b.addData(tile(0xFF, 0xFF));
  b.shortTag(formats::kTiffImageWidth, {20})
      .shortTag(formats::kTiffImageLength, {18})
      .shortTag(formats::kTiffCompression, {formats::kTiffNoCompression})
      .shortTag(formats::kTiffPhotometric, {0})
      .shortTag(formats::kTiffTileWidth, {16})
      .shortTag(formats::kTiffTileLength, {16})
      .longTag(formats::kTiffTileOffsets, {t0, t1, t2, t3})
      .longTag(formats::kTiffTileByteCounts, {32, 32, 32, 32});
  hv::test::writeFile(dir.file("tiled.tif"), b.build());
  ImageHdl h = openAndLoad(dir.file("tiled.tif"));
  ASSERT_NE(h, nullptr);
  // The run crossing the tile edge is one run: columns 15 to 17.
  EXPECT_EQ(lineOf(h->memory, 0), (std::vector<Transition>{15, 18, 20}));
  EXPECT_EQ(lineOf(h->memory, 15), (std::vector<Transition>{15, 18, 20}));
  EXPECT_EQ(lineOf(h->memory, 16), (std::vector<Transition>{0, 20}));
  EXPECT_EQ(lineOf(h->memory, 17), (std::vector<Transition>{0, 20}));
  grxCloseImage(h);
}

TEST(ImageLoad, LoadingTwiceReportsZeroAndFreeingAllowsAReload) {
  hv::test::TempDir dir;
  hv::test::TiffBuilder b;
  std::uint32_t at = b.addData(kRaw);
  b.shortTag(formats::kTiffImageWidth, {12})
      .shortTag(formats::kTiffImageLength, {3})
      .shortTag(formats::kTiffCompression, {formats::kTiffNoCompression})
      .shortTag(formats::kTiffPhotometric, {0})
      .strips({at}, {6});
  hv::test::writeFile(dir.file("raw.tif"), b.build());
  ImageHdl h = openAndLoad(dir.file("raw.tif"));
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(grxLoadImageMemory(h, nullptr), 0);
  grxFreeImageMemory(h);
  EXPECT_FALSE(grxHasImageMemory(h));
  EXPECT_EQ(grxLoadImageMemory(h, nullptr), 1);
  EXPECT_EQ(rowOf(h->memory, 2)[0], 0x81);
  grxCloseImage(h);
}

TEST(ImageLoad, OpenOptionsAndUnknownFiles) {
  hv::test::TempDir dir;
  hv::test::writeFile(dir.file("junk.bin"), "not an image");
  EXPECT_EQ(grxOpenImage(nullptr, dir.file("junk.bin").c_str(), 0, nullptr), nullptr);
  hv::test::TiffBuilder b;
  std::uint32_t at = b.addData(kRaw);
  b.shortTag(formats::kTiffImageWidth, {12})
      .shortTag(formats::kTiffImageLength, {3})
      .shortTag(formats::kTiffCompression, {formats::kTiffNoCompression})
      .strips({at}, {6});
  hv::test::writeFile(dir.file("raw.tif"), b.build());
  // Asking for template values without a template fails.
  EXPECT_EQ(grxOpenImage(nullptr, dir.file("raw.tif").c_str(), GRX_OPEN_TEMPLATE_SCALE, nullptr), nullptr);
  DisplayState tmpl;
  tmpl.scale[0] = 4;
  tmpl.scale[1] = 1;
  tmpl.rotation = 900;
  ImageHdl h = grxOpenImage(nullptr, dir.file("raw.tif").c_str(),
                            GRX_OPEN_TEMPLATE_SCALE | GRX_OPEN_TEMPLATE_ROTATION | GRX_OPEN_INVERT, &tmpl);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(h->current->scale[0], 4);
  EXPECT_EQ(h->current->rotation, 900);
  EXPECT_EQ(h->invert, 1);
  EXPECT_EQ(h->previewRequest, 1);
  EXPECT_EQ(h->record->xResolution, 200u);  // none in the file
  EXPECT_EQ(h->current->right, 12);
  EXPECT_EQ(h->current->displayX, -1);
  grxCloseImage(h);
}

}  // namespace
}  // namespace hv::engine
