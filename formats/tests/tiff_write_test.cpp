// The TIFF writer driven through the file manager's write protocol: strips
// one after another, either byte order, the Software text, and refusals.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "formats/file_manager.h"
#include "formats/format_tables.h"
#include "formats/tiff_read.h"
#include "formats/tiff_write.h"
#include "tests/support/temp_dir.h"

namespace hv::formats {
namespace {

// Writes an uncompressed image of `height` rows of 2 bytes whose row y holds
// the bytes (y, ~y), in strips of `rows` rows.
bool writeRaw(const std::string& path, std::uint32_t height, std::uint32_t rows, const char* order,
              const char* software = "") {
  ImageFileRecord* r = tiffOpen(nullptr, path.c_str(), kOpenWrite, 0);
  if (r == nullptr) return false;
  TiffWriteParams p;
  p.byteOrder = static_cast<std::uint32_t>(order[0] | order[1] << 8);
  p.rowsPerStrip = rows;
  std::snprintf(p.software, sizeof p.software, "%s", software);
  ImageSpecs specs{kFilterTiff, 16, height, 1, 0, 0, 300, 0, kCompUncompressed};
  bool ok = imfLoadFileFilter(kFilterTiff) == kFilterTiff && imfWriteImageSpecs(r, &specs, &p, sizeof p);
  for (std::uint32_t top = 0; ok && top < height; top += rows) {
    std::uint32_t bottom = std::min(top + rows, height);
    StripDesc d{0, top, 16, bottom};
    ok = imfWriteBegin(r, &d) != 0;
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t y = top; y < bottom; ++y) {
      bytes.push_back(static_cast<std::uint8_t>(y));
      bytes.push_back(static_cast<std::uint8_t>(~y));
    }
    WriteCodeBuffer w{bytes.data(), 0, static_cast<std::uint32_t>(bytes.size() * 8), static_cast<std::uint32_t>(bytes.size())};
    ok = ok && imfWriteCodes(r, &w) && imfWriteEnd(r, &d);
  }
  imfCloseImage(r);
  return ok;
}

TEST(TiffWrite, StripsFollowOneAnotherInEitherByteOrder) {
  test::TempDir dir;
  for (const char* order : {"II", "MM"}) {
    SCOPED_TRACE(order);
    const std::string path = dir.file(std::string("s_") + order + ".tif");
    ASSERT_TRUE(writeRaw(path, 10, 4, order));
    ImageFileRecord* r = tiffOpen(nullptr, path.c_str(), kOpenRead, 0);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->width, 16u);
    EXPECT_EQ(r->height, 10u);
    EXPECT_EQ(r->compression, kCompUncompressed);
    EXPECT_EQ(r->photometric, 0);
    EXPECT_EQ(r->xResolution, 300u);
    EXPECT_EQ(r->yResolution, 200u);  // 0 passes through the default rule
    ASSERT_EQ(r->strips.count, 3u);
    EXPECT_EQ(r->strips.rowsPerStrip, 4u);
    EXPECT_EQ(r->strips.byteCounts, (std::vector<std::uint32_t>{8, 8, 4}));
    EXPECT_EQ(r->strips.offsets[1], r->strips.offsets[0] + 8);
    EXPECT_EQ(r->strips.offsets[2], r->strips.offsets[1] + 8);
    std::string file = test::readFile(path);
    EXPECT_EQ(file.substr(r->strips.offsets[2], 4), std::string("\x08\xF7\x09\xF6", 4));
    EXPECT_NE(file.find(kEngineSoftware), std::string::npos);
    imfCloseImage(r);
  }
}

TEST(TiffWrite, CallerSoftwareTextAndStripOrderChecks) {
  test::TempDir dir;
  const std::string path = dir.file("sw.tif");
  ASSERT_TRUE(writeRaw(path, 3, 100, "II", "Checker 1.0"));
  std::string file = test::readFile(path);
  EXPECT_EQ(file.substr(174, 12), std::string("Checker 1.0\0", 12));
  EXPECT_EQ(file.find(kEngineSoftware), std::string::npos);

  ImageFileRecord* r = tiffOpen(nullptr, dir.file("bad.tif").c_str(), kOpenWrite, 0);
  ASSERT_NE(r, nullptr);
  ASSERT_EQ(imfLoadFileFilter(kFilterTiff), kFilterTiff);
  TiffWriteParams p;
  p.rowsPerStrip = 4;
  ImageSpecs specs{kFilterTiff, 16, 10, 1, 0, 0, 200, 200, kCompG4};
  ASSERT_TRUE(imfWriteImageSpecs(r, &specs, &p, sizeof p));
  StripDesc second{0, 4, 16, 8};
  EXPECT_EQ(imfWriteBegin(r, &second), 0);  // strips come in order
  imfCloseImage(r);
}

TEST(TiffWrite, SpecificationsTheFormatCannotHoldAreRefused) {
  test::TempDir dir;
  ASSERT_EQ(imfLoadFileFilter(kFilterTiff), kFilterTiff);
  TiffWriteParams p;
  p.rowsPerStrip = 1;
  const ImageSpecs good{kFilterTiff, 16, 10, 1, 0, 0, 200, 200, kCompG4};
  auto attempt = [&](ImageSpecs s, const TiffWriteParams& params, std::uint32_t size) {
    ImageFileRecord* r = tiffOpen(nullptr, dir.file("r.tif").c_str(), kOpenWrite, 0);
    int ok = imfWriteImageSpecs(r, &s, &params, size);
    imfCloseImage(r);
    return ok;
  };
  EXPECT_EQ(attempt(good, p, sizeof p), 1);
  EXPECT_EQ(attempt(good, p, sizeof p - 4), 0);
  ImageSpecs s = good;
  s.width = 70000;
  EXPECT_EQ(attempt(s, p, sizeof p), 0);
  s = good;
  s.bitsPerPixel = 8;
  EXPECT_EQ(attempt(s, p, sizeof p), 0);
  s = good;
  s.compression = kCompPackBits;
  EXPECT_EQ(attempt(s, p, sizeof p), 0);
  s = good;
  s.filter = kFilterCals1;
  EXPECT_EQ(attempt(s, p, sizeof p), 0);
  TiffWriteParams zero = p;
  zero.rowsPerStrip = 0;
  EXPECT_EQ(attempt(good, zero, sizeof zero), 0);
  // A record opened for reading is never written.
  ASSERT_TRUE(writeRaw(dir.file("in.tif"), 2, 2, "II"));
  ImageFileRecord* in = tiffOpen(nullptr, dir.file("in.tif").c_str(), kOpenRead, 0);
  EXPECT_EQ(imfWriteImageSpecs(in, &good, &p, sizeof p), 0);
  imfCloseImage(in);
}

}  // namespace
}  // namespace hv::formats
