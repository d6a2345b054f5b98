#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tools/drawgen/drawgen.h"
#include "tools/drawgen/raster.h"

namespace hv::drawgen {
namespace {

double blackFraction(const Bitmap& bm) {
  return double(bm.blackPixels()) / (double(bm.width) * bm.height);
}

// Number of 8-connected groups of black pixels.
int components(const Bitmap& bm) {
  std::vector<std::uint8_t> seen(std::size_t(bm.width) * bm.height, 0);
  std::vector<std::pair<std::uint32_t, std::uint32_t>> stack;
  int count = 0;
  for (std::uint32_t y = 0; y < bm.height; ++y)
    for (std::uint32_t x = 0; x < bm.width; ++x) {
      if (!bm.get(x, y) || seen[std::size_t(y) * bm.width + x]) continue;
      ++count;
      stack.push_back({x, y});
      seen[std::size_t(y) * bm.width + x] = 1;
      while (!stack.empty()) {
        auto [cx, cy] = stack.back();
        stack.pop_back();
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) {
            const long nx = long(cx) + dx, ny = long(cy) + dy;
            if (nx < 0 || ny < 0 || nx >= long(bm.width) || ny >= long(bm.height)) continue;
            const std::size_t i = std::size_t(ny) * bm.width + std::size_t(nx);
            if (seen[i] || !bm.get(std::uint32_t(nx), std::uint32_t(ny))) continue;
            seen[i] = 1;
            stack.push_back({std::uint32_t(nx), std::uint32_t(ny)});
          }
      }
    }
  return count;
}

TEST(Generator, SameArgumentsGiveSamePixelsAndSeedsDiffer) {
  const Bitmap a = generateDrawing(1700, 1100, 200, 7);
  const Bitmap b = generateDrawing(1700, 1100, 200, 7);
  const Bitmap c = generateDrawing(1700, 1100, 200, 8);
  EXPECT_EQ(firstDifference(a, b), "");
  EXPECT_NE(firstDifference(a, c), "");
}

TEST(Generator, OddWidthKeepsPaddingWhiteAndShapeConsistent) {
  const Bitmap bm = generateDrawing(1001, 777, 200, 3);
  ASSERT_EQ(bm.width, 1001u);
  ASSERT_EQ(bm.height, 777u);
  ASSERT_EQ(bm.stride, 126u);
  ASSERT_EQ(bm.bits.size(), 126u * 777u);
  for (std::uint32_t y = 0; y < bm.height; ++y) EXPECT_EQ(bm.row(y)[125] & 0x7F, 0) << y;
}

TEST(Generator, ContentResemblesAScannedDrawing) {
  const Bitmap bm = generateDrawing(4400, 3400, 200, 1);  // C size
  EXPECT_GT(blackFraction(bm), 0.02);
  EXPECT_LT(blackFraction(bm), 0.09);
  // Lettering rows carry many colour changes; blank rows exist too.
  std::uint32_t busiest = 0, blankRows = 0;
  for (std::uint32_t y = 0; y < bm.height; ++y) {
    std::uint32_t changes = 0;
    bool prev = false;
    for (std::uint32_t x = 0; x < bm.width; ++x) {
      const bool v = bm.get(x, y);
      changes += v != prev;
      prev = v;
    }
    busiest = std::max(busiest, changes);
    blankRows += changes <= 4;
  }
  EXPECT_GT(busiest, 250u);
  EXPECT_GT(blankRows, 10u);
}

TEST(Generator, ResolutionChangesSamplingNotContent) {
  // The same sheet at 200 and 400 dpi has about the same share of black.
  const Bitmap lo = generateDrawing(2200, 1700, 200, 9);
  const Bitmap hi = generateDrawing(4400, 3400, 400, 9);
  EXPECT_NEAR(blackFraction(lo), blackFraction(hi), blackFraction(lo) * 0.35);
}

TEST(Generator, BenchmarkSheetIsESizeAt400Dpi) {
  const SheetSize e = sheetSize('E', 400);
  EXPECT_EQ(e.width, 17600u);
  EXPECT_EQ(e.height, 13600u);
  EXPECT_EQ(sheetSize('a', 200).width, 2200u);
  EXPECT_EQ(sheetSize('F', 200).width, 0u);
  const Bitmap bm = generateDrawing(e.width, e.height, 400, 1);
  EXPECT_GT(blackFraction(bm), 0.015);
  EXPECT_LT(blackFraction(bm), 0.09);
}

TEST(Generator, DegenerateSizesDoNotFail) {
  EXPECT_TRUE(generateDrawing(0, 0, 200, 1).bits.empty());
  EXPECT_EQ(generateDrawing(1, 1, 200, 1).bits.size(), 1u);
  EXPECT_EQ(generateDrawing(20000, 3, 400, 1).height, 3u);
  EXPECT_EQ(generateDrawing(3, 5000, 0, 1).width, 3u);
}

TEST(Raster, ThinLinesAtEveryAngleHaveNoGaps) {
  for (int deg = 0; deg < 360; deg += 7) {
    Bitmap bm(220, 220);
    Raster r(bm);
    const double a = deg * 3.14159265358979 / 180;
    r.line({110, 110}, {110 + 100 * std::cos(a), 110 - 100 * std::sin(a)}, 1.0);
    EXPECT_EQ(components(bm), 1) << deg;
    // At least one pixel per step along the major axis.
    const double major = 100 * std::max(std::fabs(std::cos(a)), std::fabs(std::sin(a)));
    EXPECT_GE(double(bm.blackPixels()), major) << deg;
  }
}

TEST(Raster, CirclesArcsAndHatchingStayConnectedAndClipped) {
  Bitmap bm(300, 300);
  Raster r(bm);
  r.circle({150, 150}, 97.3, 1.0);
  EXPECT_EQ(components(bm), 1);
  // Shapes running off every edge are clipped, not wrapped.
  Bitmap edge(64, 64);
  Raster e(edge);
  e.circle({0, 0}, 40, 3);
  e.line({-50, 70}, {120, -20}, 2);
  e.hatchRect(-10, -10, 80, 80, 0.7, 6, 1);
  e.disk({63, 63}, 10);
  EXPECT_GT(edge.blackPixels(), 0u);
  Bitmap span(20, 1);
  Raster s(span);
  s.span(0, -5, 9);
  EXPECT_EQ(span.blackPixels(), 10u);
  EXPECT_EQ(span.row(0)[2] & 0x0F, 0);  // padding beyond 20 pixels untouched
}

TEST(Pbm, RoundTripAndComparison) {
  test::TempDir dir;
  const Bitmap bm = generateDrawing(1001, 777, 200, 4);
  ASSERT_TRUE(writePbm(dir.file("a.pbm"), bm));
  Bitmap back;
  ASSERT_TRUE(readPbm(dir.file("a.pbm"), back));
  EXPECT_EQ(firstDifference(bm, back), "");
  EXPECT_TRUE(bm == back);

  Bitmap other = bm;
  other.bits[std::size_t(12) * other.stride + 3] ^= 0x10;
  EXPECT_NE(firstDifference(bm, other).find("x=27 y=12"), std::string::npos);
  EXPECT_NE(firstDifference(bm, Bitmap(10, 10)).find("sizes differ"), std::string::npos);
  EXPECT_FALSE(writePbm(dir.file("missing/dir/x.pbm"), bm));
}

TEST(Pbm, ReadsPlainFormAndComments) {
  Bitmap bm;
  ASSERT_TRUE(parsePbm("P1\n# a comment\n5 2\n1 0 0 0 1\n01110", bm));
  EXPECT_EQ(bm.width, 5u);
  EXPECT_TRUE(bm.get(0, 0));
  EXPECT_FALSE(bm.get(1, 0));
  EXPECT_TRUE(bm.get(4, 0));
  EXPECT_TRUE(bm.get(2, 1));
  EXPECT_EQ(bm.blackPixels(), 5u);
  ASSERT_TRUE(parsePbm(std::string("P4 #c\n9 1\n\xFF\xFF", 12), bm));
  EXPECT_EQ(bm.row(0)[1], 0x80);  // padding cleared on read
}

TEST(Pbm, RejectsMalformedInputWithoutLargeAllocation) {
  Bitmap bm;
  EXPECT_FALSE(parsePbm("", bm));
  EXPECT_FALSE(parsePbm("P5\n1 1\n\0", bm));
  EXPECT_FALSE(parsePbm("P4\n8 2\n\x01", bm));                 // short raster
  EXPECT_FALSE(parsePbm("P4\n4000000000 4000000000\nab", bm));  // huge claim
  EXPECT_FALSE(parsePbm("P4\n99999999999 1\n", bm));            // overflowing number
  EXPECT_FALSE(parsePbm("P1\n2 2\n1 0 1", bm));                 // too few pixels
  EXPECT_FALSE(parsePbm("P1\n2 1\n1 2", bm));                   // not a bit
  EXPECT_FALSE(parsePbm("P4\n-3 1\n\0", bm));
  EXPECT_TRUE(bm.bits.empty());
  EXPECT_FALSE(readPbm("/nonexistent/file.pbm", bm));
}

TEST(HvgenTool, WritesTheGeneratedDrawingAndRejectsBadArguments) {
  test::TempDir dir;
  const std::string out = dir.file("g.pbm");
  ASSERT_EQ(test::runCommand(std::string(HVGEN_PATH) + " --size 640x480 --dpi 300 --seed 11 " +
                             out),
            0);
  Bitmap bm;
  ASSERT_TRUE(readPbm(out, bm));
  EXPECT_EQ(firstDifference(bm, generateDrawing(640, 480, 300, 11)), "");
  ASSERT_EQ(test::runCommand(std::string(HVGEN_PATH) + " --sheet A --dpi 100 " + out), 0);
  ASSERT_TRUE(readPbm(out, bm));
  EXPECT_EQ(bm.width, 1100u);
  const std::string quiet = " 2>/dev/null";
  EXPECT_EQ(test::runCommand(std::string(HVGEN_PATH) + " --sheet Q " + out + quiet), 2);
  EXPECT_EQ(test::runCommand(std::string(HVGEN_PATH) + " --size 10y10 " + out + quiet), 2);
  EXPECT_EQ(test::runCommand(std::string(HVGEN_PATH) + " --dpi" + quiet), 2);
  EXPECT_EQ(test::runCommand(std::string(HVGEN_PATH) + quiet), 2);
  EXPECT_EQ(test::runCommand(std::string(HVGEN_PATH) + " --help >/dev/null"), 0);
}

}  // namespace
}  // namespace hv::drawgen
