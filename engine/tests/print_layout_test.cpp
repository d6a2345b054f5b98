// Page layout of printed drawings: turning for best fit, fitting, centring,
// the stamp line, zoomed rectangles and the stamp text.
#include "engine/print_layout.h"

#include <gtest/gtest.h>

#include "engine/display_math.h"
#include "tools/drawgen/drawgen.h"

namespace hv::engine {
namespace {

constexpr PrintPage kLetter300{2550, 3300};  // portrait US Letter, no margins, 300 dpi

PrintSource whole(std::uint32_t w, std::uint32_t h, int rotation = 0) {
  PrintSource s;
  s.imageWidth = w;
  s.imageHeight = h;
  s.rotation = rotation;
  return s;
}

std::int32_t width(const GrxRect& r) { return r.right - r.left; }
std::int32_t height(const GrxRect& r) { return r.bottom - r.top; }

// The picture's size must be what the engine draws for the rectangle at the
// scale, and it must lie inside the area under the stamp line.
void expectConsistent(const PrintPage& page, const PrintOptions& o, const PrintLayout& l) {
  std::uint32_t pw = toDisplay(std::uint32_t(width(l.image)), l.scale[0], l.scale[1]);
  std::uint32_t ph = toDisplay(std::uint32_t(height(l.image)), l.scale[2], l.scale[3]);
  if (swapsAxes(l.rotation)) std::swap(pw, ph);
  EXPECT_EQ(width(l.picture), std::int32_t(pw));
  EXPECT_EQ(height(l.picture), std::int32_t(ph));
  EXPECT_GE(l.picture.left, 0);
  EXPECT_GE(l.picture.top, o.stampLine);
  EXPECT_LE(l.picture.right, page.width);
  EXPECT_LE(l.picture.bottom, page.height);
}

TEST(PrintLayout, LandscapeSheetOnPortraitPageIsTurnedFittedAndCentred) {
  drawgen::SheetSize e = drawgen::sheetSize('E', 400);
  PrintLayout l;
  PrintOptions o;
  ASSERT_EQ(layoutPrintPage(kLetter300, whole(e.width, e.height), o, l), Status::Ok);
  EXPECT_EQ(l.rotation, 900);
  expectConsistent(kLetter300, o, l);
  // Fitted: one side fills the page within one group of the scale.
  EXPECT_TRUE(width(l.picture) > kLetter300.width - 64 || height(l.picture) > kLetter300.height - 64);
  // Centred on both axes (within a pixel of rounding).
  EXPECT_NEAR(l.picture.left, kLetter300.width - l.picture.right, 1);
  EXPECT_NEAR(l.picture.top, kLetter300.height - l.picture.bottom, 1);
  EXPECT_EQ(l.image.right, std::int32_t(e.width));
  EXPECT_EQ(l.image.bottom, std::int32_t(e.height));
}

TEST(PrintLayout, BestFitTurnsOnlyWhenOrientationsDiffer) {
  PrintLayout l;
  PrintOptions o;
  ASSERT_EQ(layoutPrintPage(kLetter300, whole(2000, 3000), o, l), Status::Ok);
  EXPECT_EQ(l.rotation, 0);
  ASSERT_EQ(layoutPrintPage(PrintPage{3300, 2550}, whole(3000, 2000), o, l), Status::Ok);
  EXPECT_EQ(l.rotation, 0);
  ASSERT_EQ(layoutPrintPage(PrintPage{3300, 2550}, whole(2000, 3000), o, l), Status::Ok);
  EXPECT_EQ(l.rotation, 900);
  // A view already turned to portrait needs no more turning on a portrait page.
  ASSERT_EQ(layoutPrintPage(kLetter300, whole(3000, 2000, 2700), o, l), Status::Ok);
  EXPECT_EQ(l.rotation, 2700);
  ASSERT_EQ(layoutPrintPage(kLetter300, whole(3000, 2000, 2700 + 3600), o, l), Status::Ok);
  EXPECT_EQ(l.rotation, 2700);
  // A turned view that comes out landscape is turned once more, modulo 3600.
  ASSERT_EQ(layoutPrintPage(kLetter300, whole(2000, 3000, 2700), o, l), Status::Ok);
  EXPECT_EQ(l.rotation, 0);
  // Without best fit the view's rotation stays and the picture is smaller.
  o.rotateForBestFit = false;
  ASSERT_EQ(layoutPrintPage(kLetter300, whole(3000, 2000), o, l), Status::Ok);
  EXPECT_EQ(l.rotation, 0);
  expectConsistent(kLetter300, o, l);
  EXPECT_LE(width(l.picture), kLetter300.width);
}

TEST(PrintLayout, ZoomedRectangleIsWhatGetsFitted) {
  PrintSource s = whole(17600, 13600);
  s.rect = {1000, 2000, 1600, 2800};  // portrait 600 x 800
  PrintLayout l;
  PrintOptions o;
  ASSERT_EQ(layoutPrintPage(kLetter300, s, o, l), Status::Ok);
  EXPECT_EQ(l.rotation, 0);
  EXPECT_EQ(l.image.left, 1000);
  EXPECT_EQ(l.image.bottom, 2800);
  // A small part is magnified to fill the page.
  EXPECT_GT(l.scale[0], l.scale[1]);
  expectConsistent(kLetter300, o, l);
  // A rectangle reaching past the image is cut to it; one wholly outside fails.
  s.rect = {17000, 13000, 20000, 20000};
  ASSERT_EQ(layoutPrintPage(kLetter300, s, o, l), Status::Ok);
  EXPECT_EQ(l.image.right, 17600);
  EXPECT_EQ(l.image.bottom, 13600);
  s.rect = {18000, 0, 19000, 100};
  EXPECT_EQ(layoutPrintPage(kLetter300, s, o, l), Status::BadArgument);
}

TEST(PrintLayout, StampLineIsKeptFreeOfThePicture) {
  PrintOptions o;
  o.stampLine = stampPrintHeight(300) + 8;
  PrintLayout l;
  // A portrait sheet that would fill the page's height must move below the line.
  ASSERT_EQ(layoutPrintPage(kLetter300, whole(2550, 3300), o, l), Status::Ok);
  EXPECT_EQ(l.stamp.top, 0);
  EXPECT_EQ(l.stamp.bottom, o.stampLine);
  EXPECT_EQ(l.stamp.right, kLetter300.width);
  expectConsistent(kLetter300, o, l);
  o.stampLine = 0;
  ASSERT_EQ(layoutPrintPage(kLetter300, whole(2550, 3300), o, l), Status::Ok);
  EXPECT_EQ(width(l.stamp), 0);
  EXPECT_EQ(l.picture.top, 0);
  EXPECT_EQ(l.scale[0], l.scale[1]);  // 1:1 fits exactly
}

TEST(PrintLayout, PictureNeverLeavesThePage) {
  // Sizes from a sliver to the largest image, on pages from tiny to plotter.
  const std::uint32_t sizes[] = {1, 7, 100, 2550, 3300, 13600, 17600, 40000, 65535};
  const PrintPage pages[] = {{500, 800}, {2550, 3300}, {3300, 2550}, {10200, 13200}, {2000, 2000}};
  for (const PrintPage& page : pages)
    for (std::uint32_t w : sizes)
      for (std::uint32_t h : sizes)
        for (bool best : {false, true}) {
          PrintOptions o;
          o.rotateForBestFit = best;
          o.stampLine = page.height > 100 ? 40 : 0;
          PrintLayout l;
          ASSERT_EQ(layoutPrintPage(page, whole(w, h), o, l), Status::Ok) << w << "x" << h;
          SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " on " + std::to_string(page.width) + "x" +
                       std::to_string(page.height));
          expectConsistent(page, o, l);
          EXPECT_GT(width(l.picture), 0);
          EXPECT_GT(height(l.picture), 0);
        }
}

TEST(PrintLayout, RejectsWhatCannotBePrinted) {
  PrintLayout l;
  PrintOptions o;
  EXPECT_EQ(layoutPrintPage(PrintPage{0, 3300}, whole(10, 10), o, l), Status::BadArgument);
  EXPECT_EQ(layoutPrintPage(kLetter300, whole(0, 10), o, l), Status::BadArgument);
  EXPECT_EQ(layoutPrintPage(kLetter300, whole(10, 10, 450), o, l), Status::BadRotation);
  o.stampLine = 3300;
  EXPECT_EQ(layoutPrintPage(kLetter300, whole(10, 10), o, l), Status::TooSmall);
  // A reduction beyond the scale's 255 cannot be drawn.
  o.stampLine = 0;
  EXPECT_EQ(layoutPrintPage(PrintPage{100, 100}, whole(65535, 10), o, l), Status::TooSmall);
}

TEST(PrintStamp, HeightAndText) {
  EXPECT_EQ(stampPrintHeight(300), kStampPrintHeight);
  EXPECT_EQ(stampPrintHeight(600), 68);
  EXPECT_EQ(stampPrintHeight(150), 17);
  std::tm t{};
  t.tm_year = 124;
  t.tm_mon = 0;
  t.tm_mday = 5;
  t.tm_hour = 13;
  t.tm_min = 4;
  t.tm_sec = 9;
  EXPECT_EQ(formatPrintStamp(t, "/data/job.2024/A123-45.tif"), "January 05, 2024 13:04:09 [A123-45]");
  t.tm_mon = 11;
  EXPECT_EQ(formatPrintStamp(t, "C:\\scans\\SHEET"), "December 05, 2024 13:04:09 [SHEET]");
  EXPECT_EQ(formatPrintStamp(t, ".hidden"), "December 05, 2024 13:04:09 []");
}

}  // namespace
}  // namespace hv::engine
