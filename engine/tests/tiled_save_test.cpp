// Tiled and legacy targets end to end: drawings saved as CALS Type 2,
// EDMICS VI, Audre and IMPORT/EXPORT read back pixel for pixel; files built
// by hand with null, uncompressed and Group 4 tiles load as drawn.
#include <gtest/gtest.h>

#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <string>
#include <vector>

#include "engine/grx_status.h"
#include "engine/image_handle.h"
#include "engine/image_memory.h"
#include "engine/image_save.h"
#include "engine/ccitt_encode.h"
#include "engine/image_save_tiled.h"
#include "engine/packed.h"
#include "formats/fm_messages.h"
#include "formats/format_tables.h"
#include "formats/raster_write.h"
#include "formats/tag_tables.h"
#include "formats/tiff_tags.h"
#include "tests/support/oda_builder.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tiff_builder.h"

namespace hv::engine {
namespace {

using Rows = std::vector<std::vector<std::uint8_t>>;

// A drawing: frames, rules, text-like speckle and a noisy block.
Rows drawing(std::uint32_t w, std::uint32_t h, std::uint32_t seed, bool noise = false) {
  Rows rows(h, std::vector<std::uint8_t>((w + 7) / 8, 0));
  auto set = [&](std::uint32_t x, std::uint32_t y) { rows[y][x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8)); };
  std::mt19937 rng(seed);
  for (std::uint32_t x = 0; x < w; ++x) set(x, 0), set(x, h - 1);
  for (std::uint32_t y = 0; y < h; ++y) set(0, y), set(w - 1, y);
  for (int k = 0; k < 60; ++k) {
    std::uint32_t y = rng() % h, x0 = rng() % w, len = rng() % (w - x0);
    for (std::uint32_t x = x0; x < x0 + len; ++x) set(x, y);
    std::uint32_t x = rng() % w, y0 = rng() % h, hl = rng() % (h - y0);
    for (std::uint32_t y2 = y0; y2 < y0 + hl; ++y2) set(x, y2);
  }
  if (noise)
    for (std::uint32_t y = 0; y < std::min<std::uint32_t>(h, 512); ++y)
      for (std::uint32_t x = 0; x < std::min<std::uint32_t>(w, 512); ++x)
        if (rng() & 1) set(x, y);
  return rows;
}

ImageHdl created(const Rows& rows, std::uint32_t w) {
  int status = 0;
  ImageHdl h = grxCreateImage(&status, w, static_cast<std::uint32_t>(rows.size()), 300, 300);
  if (h == nullptr) return nullptr;
  std::vector<Transition> list(w + 4);
  for (std::uint32_t y = 0; y < rows.size(); ++y) {
    std::size_t n = bitsToList(rows[y].data(), w, list.data(), list.size());
    EXPECT_EQ(putLineCopy(h->memory, y, list.data(), n), Status::Ok);
  }
  return h;
}

Rows loaded(const std::string& path, std::uint32_t* width = nullptr) {
  ImageHdl h = grxOpenImage(nullptr, path.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
  if (h == nullptr) return {};
  Rows rows;
  if (grxLoadImageMemory(h, nullptr)) {
    for (std::uint32_t y = 0; y < h->memory->height; ++y) {
      std::vector<std::uint8_t> row((h->memory->width + 7) / 8, 0);
      listToBits(getLine(h->memory, y), h->memory->width, row.data(), 0, h->memory->width);
      rows.push_back(row);
    }
    if (width) *width = h->memory->width;
  }
  grxCloseImage(h);
  return rows;
}

class TiledSave : public ::testing::Test {
 protected:
  void SetUp() override { formats::setTagTableDirectory(std::string(HV_SOURCE_DIR) + "/share/"); }
  std::string save(ImageHdl h, const char* name, const char* code) {
    std::string path = dir_.file(name);
    EXPECT_EQ(grxSaveImage(nullptr, h, path.c_str(), code, nullptr, 0, 0), GRX_OK) << code << formats::lastMessage();
    return path;
  }
  // The template is found beside the test program or in the current
  // directory; tests name the shipped one.
  hv::test::TempDir dir_;
};

TEST_F(TiledSave, Cals2AndEdmics6RoundTripsArePixelExact) {
  const std::uint32_t w = 1200, h = 1100;  // 3 x 3 tiles, cut at the right and bottom
  Rows rows = drawing(w, h, 11);
  ImageHdl img = created(rows, w);
  ASSERT_NE(img, nullptr);
  std::string here = std::string(HV_SOURCE_DIR) + "/share";
  ASSERT_EQ(::chdir(here.c_str()), 0);  // d1.cal from the current directory
  std::string cal = save(img, "d.cal", "CAL2GP4");
  std::string c4 = save(img, "d.c4", "EDM6GP4 ");
  grxCloseImage(img);
  int doc = 0, filter = 0, comp = 0;
  std::uint32_t offset = 0;
  ASSERT_TRUE(imfTypeDosFile(cal.c_str(), &doc, &filter, &comp, &offset));
  EXPECT_EQ(filter, formats::kFilterCals2);
  ASSERT_TRUE(imfTypeDosFile(c4.c_str(), &doc, &filter, &comp, &offset));
  EXPECT_EQ(filter, formats::kFilterEdmics6);
  EXPECT_EQ(loaded(cal), rows);
  EXPECT_EQ(loaded(c4), rows);
}

TEST_F(TiledSave, NoisyEdmics6TileIsStoredUncompressed) {
  const std::uint32_t w = 1024, h = 600;
  Rows rows = drawing(w, h, 5, true);
  ImageHdl img = created(rows, w);
  ASSERT_NE(img, nullptr);
  // The noisy tile's Group 4 code does not fit 16 bits.
  GrxRect r{0, 0, 512, 512};
  ImageMemory* tile = grxCopyImageRegion(img->memory, &r, nullptr);
  std::vector<std::uint8_t> code;
  ASSERT_EQ(encodeToBytes(tile, formats::kCompG4, code), hv::Status::Ok);
  freeImageMemory(tile);
  EXPECT_GT(code.size(), 65535u);
  std::string c4 = save(img, "n.c4", "EDM6GP4");
  grxCloseImage(img);
  std::string bytes = hv::test::readFile(c4);
  ASSERT_GT(bytes.size(), 140u);
  EXPECT_EQ(bytes[128 + 1], 1);  // tile 0: uncompressed
  EXPECT_EQ(static_cast<unsigned char>(bytes[128 + 2]) | static_cast<unsigned char>(bytes[128 + 3]) << 8, 32768);
  EXPECT_EQ(bytes[132 + 1], 0);  // tile 1: Group 4
  EXPECT_EQ(loaded(c4), rows);
}

TEST_F(TiledSave, Edmics6HeaderOfManyTiles) {
  Rows rows = drawing(20 * 512, 15 * 512, 3);  // 300 tiles
  ImageHdl img = created(rows, 20 * 512);
  ASSERT_NE(img, nullptr);
  std::string c4 = save(img, "m.c4", "EDM6GP4");
  grxCloseImage(img);
  std::string bytes = hv::test::readFile(c4);
  EXPECT_EQ(bytes[12], 0);
  EXPECT_EQ(bytes[36], 6);
  EXPECT_EQ(static_cast<unsigned char>(bytes[38]) | static_cast<unsigned char>(bytes[39]) << 8, 300);
  EXPECT_EQ(loaded(c4), rows);
}

TEST_F(TiledSave, AudreWritesItsRows) {
  const std::uint32_t w = 77, h = 40;
  Rows rows = drawing(w, h, 9);
  ImageHdl img = created(rows, w);
  ASSERT_NE(img, nullptr);
  std::string aud = save(img, "a.aud", "AUD RAWM");
  grxCloseImage(img);
  std::string bytes = hv::test::readFile(aud);
  EXPECT_EQ(bytes.size(), 1024u + 12u * h);  // quadwidth 12
  EXPECT_EQ(bytes.substr(0, 6), "AD1000");
  EXPECT_EQ(loaded(aud), rows);
}

TEST_F(TiledSave, DsedHoldsAGroup4WrapRaster) {
  const std::uint32_t w = 300, h = 120;
  Rows rows = drawing(w, h, 4);
  ImageHdl img = created(rows, w);
  ASSERT_NE(img, nullptr);
  std::string ded = save(img, "i.ded", "DSEDGP4W");
  grxCloseImage(img);
  int doc = 0, filter = 0, comp = 0;
  std::uint32_t offset = 0;
  ASSERT_TRUE(imfTypeDosFile(ded.c_str(), &doc, &filter, &comp, &offset));
  EXPECT_EQ(filter, formats::kFilterImportExport);
  std::string bytes = hv::test::readFile(ded);
  ASSERT_GT(bytes.size(), formats::dsed::kHeaderBytes);
  std::uint32_t rasterBytes = 0;
  for (int i = 0; i < 4; ++i) rasterBytes = rasterBytes << 8 | static_cast<unsigned char>(bytes[formats::dsed::kRasterBytesAt + i]);
  EXPECT_EQ(rasterBytes, bytes.size() - formats::dsed::kHeaderBytes);
  // Decode the raster: as the strip of a Group 4 wrap TIFF.
  hv::test::TiffBuilder b;
  std::uint32_t at = b.addData(bytes.substr(formats::dsed::kHeaderBytes));
  b.shortTag(formats::kTiffImageWidth, {w})
      .shortTag(formats::kTiffImageLength, {h})
      .shortTag(formats::kTiffCompression, {formats::kTiffG4Wrap})
      .shortTag(formats::kTiffPhotometric, {0})
      .strips({at}, {rasterBytes});
  hv::test::writeFile(dir_.file("wrap.tif"), b.build());
  EXPECT_EQ(loaded(dir_.file("wrap.tif")), rows);
}

TEST_F(TiledSave, HandBuiltCals2TilesLoadAsDrawn) {
  // 700 x 600: tile 0 uncompressed, tile 1 null foreground, tile 2 null
  // background, tile 3 Group 4 (taken from a saved file of the same drawing).
  const std::uint32_t w = 700, h = 600;
  Rows rows(h, std::vector<std::uint8_t>((w + 7) / 8, 0));
  std::mt19937 rng(2);
  for (std::uint32_t y = 0; y < 512; ++y)
    for (std::uint32_t x = 0; x < 512; ++x)
      if (rng() % 5 == 0) rows[y][x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
  for (std::uint32_t y = 0; y < 512; ++y)
    for (std::uint32_t x = 512; x < w; ++x) rows[y][x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
  for (std::uint32_t y = 512; y < h; ++y)
    for (std::uint32_t x = 520; x < 600; ++x) rows[y][x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
  hv::test::OdaSpec s;
  s.width = w;
  s.height = h;
  std::string raw;
  for (std::uint32_t y = 0; y < 512; ++y)
    for (std::uint32_t x = 0; x < 64; ++x) raw += static_cast<char>(rows[y][x]);
  ImageHdl img = created(rows, w);
  GrxRect r{512, 512, 1024, 1024};
  ImageMemory* tile = grxCopyImageRegion(img->memory, &r, nullptr);
  std::vector<std::uint8_t> g4;
  ASSERT_EQ(encodeToBytes(tile, formats::kCompG4, g4), hv::Status::Ok);
  freeImageMemory(tile);
  grxCloseImage(img);
  s.tiles = {{5, raw}, {1, ""}, {0, ""}, {2, std::string(g4.begin(), g4.end())}};
  for (int variant = 0; variant < 3; ++variant) {
    s.tileList = variant != 1;
    s.indefiniteTileData = variant == 2;
    hv::test::writeFile(dir_.file("h.cal"), hv::test::buildCals2(s));
    EXPECT_EQ(loaded(dir_.file("h.cal")), rows) << variant;
  }
}

}  // namespace
}  // namespace hv::engine

namespace hv::engine {
namespace {

class SaveFaults : public TiledSave {};

TEST_F(SaveFaults, DsedFilesOpenBackPixelExact) {
  const std::uint32_t w = 333, h = 150;
  Rows rows = drawing(w, h, 5);
  ImageHdl img = created(rows, w);
  ASSERT_NE(img, nullptr);
  std::string ded = save(img, "back.ded", "DSEDGP4W");
  grxCloseImage(img);
  EXPECT_EQ(loaded(ded), rows);
  // A file of that marker but another layout is refused with a plain message.
  std::string bytes = hv::test::readFile(ded);
  bytes[formats::dsed::kCodingAt + 1] = 3;
  hv::test::writeFile(dir_.file("other.ded"), bytes);
  EXPECT_TRUE(loaded(dir_.file("other.ded")).empty());
  EXPECT_EQ(formats::lastMessage(),
            "Only IMPORT/EXPORT images of one Group 4 wrap raster can be opened: " + dir_.file("other.ded") + "\n");
}

TEST_F(SaveFaults, TiledTargetsSayWhichLimitADrawingExceeds) {
  Rows rows(4, std::vector<std::uint8_t>((65100 + 7) / 8, 0));
  ImageHdl img = created(rows, 65100);
  ASSERT_NE(img, nullptr);
  for (const char* code : {"CAL2GP4", "EDM6GP4"}) {
    const std::string out = dir_.file(std::string("wide-") + code);
    EXPECT_EQ(grxSaveImage(nullptr, img, out.c_str(), code, nullptr, 0, 0), GRX_FAILED);
    const std::string why = grxSaveErrorText();
    EXPECT_NE(why.find(out + ": the drawing is 65100 pixels wide; "), std::string::npos) << why;
    EXPECT_NE(why.find("holds at most 65024 (127 tiles of 512 pixels) in each direction"), std::string::npos) << why;
    EXPECT_NE(::access(out.c_str(), F_OK), 0);
  }
  // A drawing within the limits saves; the text is cleared.
  EXPECT_EQ(grxSaveImage(nullptr, img, dir_.file("wide.tif").c_str(), "TIFFGP4", nullptr, 0, 0), GRX_OK);
  EXPECT_STREQ(grxSaveErrorText(), "");
  grxCloseImage(img);
}

TEST_F(SaveFaults, WriterMessagesNameTheUsersFileNotTheTemporary) {
  Rows rows = drawing(200, 100, 3);
  ImageHdl img = created(rows, 200);
  ASSERT_NE(img, nullptr);
  ASSERT_EQ(::mkdir(dir_.file("ro").c_str(), 0555), 0);
  const std::string out = dir_.file("ro/x.tif");
  const int status = grxSaveImage(nullptr, img, out.c_str(), "TIFFGP4", nullptr, 0, 0);
  if (::geteuid() != 0) {
    EXPECT_EQ(status, GRX_FAILED);
    EXPECT_EQ(std::string(grxSaveErrorText()), out + ": Permission denied");
  }
  // Saving into a device: the system's reason, the device left as it is.
  EXPECT_EQ(grxSaveImage(nullptr, img, "/dev/full", "CAL1GP4", nullptr, 0, 0), GRX_FAILED);
  EXPECT_EQ(std::string(grxSaveErrorText()), "/dev/full: No space left on device");
  EXPECT_EQ(formats::lastMessage().find(".hvsave"), std::string::npos);
  grxCloseImage(img);
}

}  // namespace
}  // namespace hv::engine
