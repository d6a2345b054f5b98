// Rendering hostile and broken data: bands stay within their bound on a
// full-width checkerboard, and a decoding error part-way leaves what was
// drawn and reports status 2.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/display.h"
#include "engine/display_surface.h"
#include "engine/render_scaler.h"
#include "engine/tests/render_test_support.h"

namespace hv::engine {
namespace {

using test::BandCheck;

// In strips, and in tiles (2048 tiles across, decoded side by side).
class HostileRender : public ::testing::TestWithParam<const char*> {};

TEST_P(HostileRender, FullWidthCheckerboardStaysWithinTheBandBound) {
  if (!hv::test::haveProgram("tiffcp")) GTEST_SKIP() << "tiffcp is needed";
  hv::test::TempDir dir;
  const std::uint32_t W = 65535, H = 40;
  drawgen::Bitmap board(W, H);
  for (std::uint32_t y = 0; y < H; ++y)
    for (std::uint32_t x = y % 2; x < W; x += 2) board.set(x, y);
  std::string path = test::recodedTiff(dir, "board", board, GetParam());
  ASSERT_FALSE(path.empty());
  ImageHdl h = grxOpenImage(nullptr, path.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
  ASSERT_NE(h, nullptr);
  GrxRect image{0, 0, std::int32_t(W), std::int32_t(H)};
  struct Case {
    std::uint8_t scale[4];
    int rotation;
  } cases[] = {{{1, 1, 1, 1}, 0}, {{1, 1, 1, 1}, 900}, {{1, 2, 1, 2}, 0}, {{1, 32, 1, 32}, 2700}, {{2, 1, 2, 1}, 0},
               {{1, 3, 1, 1}, 1800}};
  for (const Case& c : cases) {
    std::uint32_t dw = (W * c.scale[0] + c.scale[1] - 1) / c.scale[1], dh = (H * c.scale[2] + c.scale[3] - 1) / c.scale[3];
    if (c.rotation == 900 || c.rotation == 2700) std::swap(dw, dh);
    MemoryWindow window{std::int32_t(dw), std::int32_t(dh)};
    BandCheck check(&window);
    GrxBlitTarget target{&check.device, nullptr};
    GrxRect display{0, 0, std::int32_t(dw), std::int32_t(dh)};
    ASSERT_EQ(grxRenderRect(&target, &display, h, &image, c.scale, c.rotation, 0, nullptr), GRX_RENDER_DONE);
    EXPECT_LE(check.largest, kMaxBandBytes);
    drawgen::Bitmap want = test::referenceView(board, c.scale, c.rotation, false);
    for (std::uint32_t y = 0; y < dh; ++y)
      for (std::uint32_t x = 0; x < dw; x += 97)
        ASSERT_EQ(window.pixel(std::int32_t(x), std::int32_t(y)), want.get(x, y))
            << int(c.scale[1]) << "/" << int(c.scale[0]) << " rotation " << c.rotation << " at " << x << "," << y;
  }
  grxCloseImage(h);
}

INSTANTIATE_TEST_SUITE_P(StripsAndTiles, HostileRender, ::testing::Values("g4", "g4tiled"));

// Zero bytes in the middle of Group 4 data are no valid code.
TEST(BrokenData, ADecodingErrorLeavesTheBandsDrawnAndReportsTwo) {
  if (!hv::test::haveProgram("tiffcp")) GTEST_SKIP() << "tiffcp is needed";
  hv::test::TempDir dir;
  drawgen::Bitmap drawing = test::testDrawing(300, 400, 9);
  std::string path = test::recodedTiff(dir, "d", drawing, "g4");
  ASSERT_FALSE(path.empty());
  std::string bytes = hv::test::readFile(path);
  // tiffcp puts the strips right after the 8-byte header and the directory last.
  std::size_t at = 8 + (bytes.size() - 8 - 400) * 3 / 4;
  for (std::size_t i = 0; i < 64; ++i) bytes[at + i] = 0;
  hv::test::writeFile(path, bytes);
  ImageHdl h = grxOpenImage(nullptr, path.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
  ASSERT_NE(h, nullptr);
  MemoryWindow window(300, 400);
  BandCheck check(&window);
  GrxBlitTarget target{&check.device, nullptr};
  GrxRect display{0, 0, 300, 400}, image{0, 0, 300, 400};
  std::uint8_t one[4] = {1, 1, 1, 1};
  ASSERT_EQ(grxRenderRect(&target, &display, h, &image, one, 0, 0, nullptr), GRX_RENDER_DECODE_ERROR);
  ASSERT_GT(check.rows, 0);
  ASSERT_LT(check.rows, 400);
  // The rows drawn are the drawing's; the rows below were not drawn.
  for (std::int32_t y = 0; y < 400; ++y)
    for (std::int32_t x = 0; x < 300; ++x)
      ASSERT_EQ(window.pixel(x, y), y < check.rows && drawing.get(std::uint32_t(x), std::uint32_t(y)))
          << x << "," << y << " with " << check.rows << " rows drawn";
  grxCloseImage(h);
}

}  // namespace
}  // namespace hv::engine
