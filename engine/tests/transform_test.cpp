#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "engine/image_memory.h"
#include "engine/packed.h"
#include "engine/transform.h"

namespace hv::engine {
namespace {

std::vector<Transition> lineOf(const ImageMemory* mem, std::uint32_t y) {
  const Transition* l = getLine(mem, y);
  return std::vector<Transition>(l, l + listLength(l, mem->width));
}

ImageHdl imageWithLines(std::uint32_t width, const std::vector<std::vector<Transition>>& lines) {
  int status = 0;
  ImageHdl h = grxCreateImage(&status, width, std::uint32_t(lines.size()), 200, 200);
  for (std::uint32_t y = 0; h && y < lines.size(); ++y)
    EXPECT_EQ(putLineCopy(h->memory, y, lines[y].data(), lines[y].size()), Status::Ok);
  return h;
}

TEST(Mirror, ListsOfTheDocumentedCases) {
  ImageHdl h = imageWithLines(10, {{3, 10}, {0, 4, 10}, {10}, {0, 10}, {9, 10}, {0, 1, 2, 3, 10}, {2, 5, 7, 10}});
  ASSERT_NE(h, nullptr);
  ASSERT_EQ(grxMirrorImage(h), 0);
  EXPECT_EQ(lineOf(h->memory, 0), (std::vector<Transition>{0, 7, 10}));
  EXPECT_EQ(lineOf(h->memory, 1), (std::vector<Transition>{6, 10}));
  EXPECT_EQ(lineOf(h->memory, 2), (std::vector<Transition>{10}));
  EXPECT_EQ(lineOf(h->memory, 3), (std::vector<Transition>{0, 10}));
  EXPECT_EQ(lineOf(h->memory, 4), (std::vector<Transition>{0, 1, 10}));
  EXPECT_EQ(lineOf(h->memory, 5), (std::vector<Transition>{7, 8, 9, 10}));
  EXPECT_EQ(lineOf(h->memory, 6), (std::vector<Transition>{0, 3, 5, 8, 10}));
  grxCloseImage(h);
  EXPECT_EQ(grxMirrorImage(nullptr), -3);
  int status;
  ImageHdl empty = grxCreateImage(&status, 4, 4, 200, 200);
  freeImageMemory(empty->memory);
  empty->memory = nullptr;
  EXPECT_EQ(grxMirrorImage(empty), -6);
  grxCloseImage(empty);
}

// Random lines, including a full-width checkerboard: mirroring equals the
// pixel mirror, and mirroring twice gives back every list.
TEST(Mirror, EqualsThePixelMirrorAndTwiceRestoresEveryLine) {
  std::mt19937 rng(7);
  const std::uint32_t width = 203;
  std::vector<std::vector<Transition>> lines;
  std::vector<Transition> checker;
  for (Transition c = 0; c < width; ++c) checker.push_back(c);
  checker.push_back(width);
  lines.push_back(checker);
  for (int i = 0; i < 300; ++i) {
    std::vector<Transition> l;
    for (std::uint32_t c = rng() % 4; c < width; c += 1 + rng() % 9) l.push_back(Transition(c));
    l.push_back(width);
    lines.push_back(l);
  }
  ImageHdl h = imageWithLines(width, lines);
  ASSERT_NE(h, nullptr);
  ASSERT_EQ(grxMirrorImage(h), 0);
  for (std::uint32_t y = 0; y < lines.size(); ++y) {
    std::vector<std::uint8_t> before(32, 0), after(32, 0);
    listToBits(lines[y].data(), width, before.data(), 0, width);
    listToBits(getLine(h->memory, y), width, after.data(), 0, width);
    for (std::uint32_t x = 0; x < width; ++x)
      ASSERT_EQ((before[x / 8] >> (7 - x % 8)) & 1, (after[(width - 1 - x) / 8] >> (7 - (width - 1 - x) % 8)) & 1)
          << "line " << y << " column " << x;
  }
  ASSERT_EQ(grxMirrorImage(h), 0);
  for (std::uint32_t y = 0; y < lines.size(); ++y) EXPECT_EQ(lineOf(h->memory, y), lines[y]) << "line " << y;
  grxCloseImage(h);
}

bool bandPixel(const std::vector<std::uint8_t>& b, std::uint32_t rowBytes, std::uint32_t x, std::uint32_t y) {
  return (b[std::size_t(y) * rowBytes + x / 8] >> (7 - x % 8)) & 1;
}

TEST(RotateBand, EveryAngleMatchesThePixelDefinition) {
  std::mt19937 rng(3);
  for (std::uint32_t rowBytes : {1u, 2u, 3u, 6u})
    for (std::uint32_t rows : {8u, 16u, 40u})
      for (int angle : {0, 90, 180, 270}) {
        std::vector<std::uint8_t> src(rowBytes * rows);
        for (auto& b : src) b = std::uint8_t(rng());
        std::vector<std::uint8_t> out(src.size() + 5, 0xAA);
        BandRotation r;
        r.angle = angle;
        r.source = src.data();
        r.sourceRowBytes = rowBytes;
        r.sourceRows = rows;
        r.result = out.data();
        r.resultSize = std::uint32_t(out.size());
        ASSERT_EQ(rotateBand(r), hv::Status::Ok);
        const std::uint32_t w = rowBytes * 8, h = rows;
        for (std::uint32_t y = 0; y < h; ++y)
          for (std::uint32_t x = 0; x < w; ++x) {
            std::uint32_t tx = x, ty = y;
            if (angle == 90) tx = y, ty = w - 1 - x;
            if (angle == 180) tx = w - 1 - x, ty = h - 1 - y;
            if (angle == 270) tx = h - 1 - y, ty = x;
            ASSERT_EQ(bandPixel(src, rowBytes, x, y), bandPixel(out, r.resultRowBytes, tx, ty))
                << angle << " at " << x << "," << y;
          }
      }
}

TEST(RotateBand, PaddingReportBadAngleAndSmallResult) {
  // A 9 x 3 band padded to 2 bytes by 8 rows: turned by 90, the source pixel
  // (0, 0) lands at (0, 8) after the 7 padding rows.
  std::vector<std::uint8_t> src = {0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  std::vector<std::uint8_t> out(16, 0);
  BandRotation r{90, src.data(), 2, 8, 9, out.data(), 0, 0, 0, 16, 0};
  ASSERT_EQ(rotateBand(r), hv::Status::Ok);
  EXPECT_EQ(r.padding, 7u);
  EXPECT_TRUE(bandPixel(out, r.resultRowBytes, 0, r.padding + 8));
  r.angle = 180;
  ASSERT_EQ(rotateBand(r), hv::Status::Ok);
  EXPECT_EQ(r.padding, 7u);
  std::vector<std::uint8_t> untouched(16, 0x5A);
  BandRotation bad{45, src.data(), 2, 8, 9, untouched.data(), 0, 0, 0, 16, 0};
  EXPECT_EQ(rotateBand(bad), hv::Status::BadRotation);
  EXPECT_EQ(untouched, std::vector<std::uint8_t>(16, 0x5A));
  BandRotation small{90, src.data(), 2, 8, 9, untouched.data(), 0, 0, 0, 15, 0};
  EXPECT_EQ(rotateBand(small), hv::Status::TooSmall);
}

}  // namespace
}  // namespace hv::engine
