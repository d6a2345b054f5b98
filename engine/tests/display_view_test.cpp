// Mapping, zoom steps, fitting, scrolling, rotation and the preview bitmap.
#include <gtest/gtest.h>

#include <random>

#include "engine/display.h"
#include "engine/display_math.h"
#include "engine/display_surface.h"
#include "engine/tests/render_test_support.h"

namespace hv::engine {
namespace {

ImageHdl blankImage(std::uint32_t w, std::uint32_t h) {
  int status = 0;
  return grxCreateImage(&status, w, h, 200, 200);
}

TEST(ZoomTables, AreBuiltFromTheirDefinitions) {
  auto fine = fineZoomTable();
  ASSERT_EQ(fine.size(), 68u);
  EXPECT_EQ(fine.front().n, 1);
  EXPECT_EQ(fine.front().d, 10);
  EXPECT_EQ(fine[14].n, 16);
  EXPECT_EQ(fine[14].d, 15);
  for (unsigned n = 9; n <= 32; ++n) EXPECT_EQ(fine[44 + n - 9].n, n);
  auto steps = stepZoomTable();
  ASSERT_EQ(steps.size(), 13u);
  EXPECT_EQ(steps[0].ratio, 65536u / 8);
  EXPECT_EQ(steps[12].ratio, 32u * 65536);
}

TEST(ZoomSteps, InStopsAtTheSizeLimitOutStopsAtTheLastEntry) {
  std::uint8_t scale[4] = {1, 3, 1, 3};
  ASSERT_TRUE(zoomInScale(scale, 20000, 15000));
  EXPECT_EQ(scale[1], 2);  // 2/1
  ASSERT_TRUE(zoomInScale(scale, 20000, 15000));
  ASSERT_TRUE(zoomInScale(scale, 20000, 15000));
  EXPECT_EQ(scale[1], 1);
  EXPECT_EQ(scale[0], 1);
  EXPECT_FALSE(zoomInScale(scale, 20000, 15000));  // 32767 / 20000 = 1: 1/1 is the limit
  EXPECT_EQ(scale[0], 1);
  // A small image zooms in to 8 times.
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(zoomInScale(scale, 1000, 800));
  EXPECT_EQ(scale[0], 8);
  EXPECT_FALSE(zoomInScale(scale, 1000, 800));
  std::uint8_t last[4] = {1, 32, 1, 32};
  EXPECT_FALSE(zoomOutScale(last));
  EXPECT_EQ(last[1], 32);
  // Between entries: out takes the entry after the one at or below.
  std::uint8_t between[4] = {1, 4, 1, 4};
  ASSERT_TRUE(zoomOutScale(between));
  EXPECT_EQ(between[1], 5);
  ImageHdl h = blankImage(20000, 100);
  std::uint8_t one[4] = {1, 1, 1, 1};
  EXPECT_EQ(grxZoomIn(h, one), 0);
  EXPECT_EQ(grxZoomOut(h, one), 1);
  EXPECT_EQ(one[1], 3);
  EXPECT_EQ(one[0], 2);
  grxCloseImage(h);
}

TEST(Fit, FractionsTableStepsAndRotation) {
  std::uint8_t s[4];
  ASSERT_TRUE(fitScale(34000, 22000, 1000, 700, 0, s));
  EXPECT_EQ(s[1], 32);  // beyond the table: its last step
  EXPECT_EQ(s[0], 1);
  ASSERT_TRUE(fitScale(17600, 13600, 1600, 1200, 0, s));
  EXPECT_EQ(s[1], 12);  // 11/1 across, 34/3 down -> 12/1 from the table
  EXPECT_EQ(s[0], 1);
  ASSERT_TRUE(fitScale(300, 200, 400, 400, 0, s));
  EXPECT_EQ(s[1], 3);  // 3/4 across (terms below 33), 1/2 down
  EXPECT_EQ(s[0], 4);
  ASSERT_TRUE(fitScale(200, 300, 400, 400, 900, s));
  EXPECT_EQ(s[1], 3);
  EXPECT_FALSE(fitScale(10, 10, 0, 10, 0, s));
  std::uint8_t n, d;
  fitDirection(3, 1600, n, d);  // tiny image: the largest magnification of the table
  EXPECT_EQ(n, 1);
  EXPECT_EQ(d, 10);
}

// For random rectangles, scales, rotations and scroll positions the mapped
// device rectangle covers the asked one, and its image rectangle is made of
// whole groups that scale exactly to it.
TEST(Mapping, CoversTheRectangleWithWholeGroups) {
  std::mt19937 rng(11);
  for (int i = 0; i < 20000; ++i) {
    std::uint32_t w = 1 + rng() % 500, h = 1 + rng() % 500;
    std::uint8_t scale[4] = {std::uint8_t(1 + rng() % 10), std::uint8_t(1 + rng() % 32), std::uint8_t(1 + rng() % 10),
                             std::uint8_t(1 + rng() % 32)};
    int rotation = int(rng() % 4) * 900;
    std::int32_t W = std::int32_t(toDisplay(w, scale[0], scale[1])), H = std::int32_t(toDisplay(h, scale[2], scale[3]));
    std::int32_t RW = swapsAxes(rotation) ? H : W, RH = swapsAxes(rotation) ? W : H;
    std::int32_t sx = std::int32_t(rng() % std::uint32_t(RW)), sy = std::int32_t(rng() % std::uint32_t(RH));
    GrxRect asked{std::int32_t(rng() % 50), std::int32_t(rng() % 50), 0, 0};
    asked.right = asked.left + 1 + std::int32_t(rng() % 80);
    asked.bottom = asked.top + 1 + std::int32_t(rng() % 80);
    GrxRect image, display = asked;
    bool beyond = asked.left + sx >= RW || asked.top + sy >= RH;
    ASSERT_EQ(mapDisplayRect(image, display, scale, w, h, sx, sy, rotation), !beyond);
    if (beyond) continue;
    EXPECT_LE(display.left, asked.left);
    EXPECT_LE(display.top, asked.top);
    EXPECT_GE(display.right, std::min(asked.right, RW - sx));
    EXPECT_GE(display.bottom, std::min(asked.bottom, RH - sy));
    EXPECT_EQ(image.left % scale[1], 0);
    EXPECT_EQ(image.top % scale[3], 0);
    EXPECT_TRUE(std::uint32_t(image.right) == w || image.right % scale[1] == 0);
    std::int32_t dw = display.right - display.left, dh = display.bottom - display.top;
    if (swapsAxes(rotation)) std::swap(dw, dh);
    EXPECT_EQ(std::uint32_t(dw), toDisplay(std::uint32_t(image.right - image.left), scale[0], scale[1]));
    EXPECT_EQ(std::uint32_t(dh), toDisplay(std::uint32_t(image.bottom - image.top), scale[2], scale[3]));
  }
  GrxRect image, display{0, 0, 10, 10};
  std::uint8_t one[4] = {1, 1, 1, 1};
  EXPECT_EQ(grxMapDisplayRect(&image, &display, one, 100, 100, 0, 0, 450), 0);
  EXPECT_EQ(grxMapDisplayRect(&image, &display, one, 100, 100, 0, 0, -900), 1);
}

TEST(PhysicalSize, TruncatesAndRefusesRectanglesBeyondTheImage) {
  ImageHdl h = blankImage(1700, 1100);
  GrxRect r;
  ASSERT_EQ(grxPhysicalSizeRect(h, &r, 8.5, 5.4999), 0);
  EXPECT_EQ(r.right, 1700);
  EXPECT_EQ(r.bottom, 1099);
  EXPECT_EQ(grxPhysicalSizeRect(h, &r, 8.6, 1), -13);
  EXPECT_EQ(grxPhysicalSizeRect(nullptr, &r, 1, 1), -3);
  EXPECT_EQ(grxPhysicalSizeRect(h, nullptr, 1, 1), -3);
  grxCloseImage(h);
}

TEST(Scrolling, RangesFollowTheViewAndBarsTakeRoom) {
  ImageHdl h = blankImage(1000, 800);
  MemoryWindow window(400, 300, 10);
  ASSERT_EQ(grxFitToWindow(&window, h, nullptr), 1);
  ASSERT_EQ(grxUpdateScrolling(&window, h, 0), 0);
  EXPECT_EQ(window.scrollRange(ScrollBar::kHorizontal), 0);
  EXPECT_EQ(window.scrollRange(ScrollBar::kVertical), 0);
  grxSetOneToOne(&window, h);
  EXPECT_EQ(h->current->scale[0], 1);
  // Both bars show: the client is 390 x 290.
  EXPECT_EQ(window.scrollRange(ScrollBar::kHorizontal), 1000 - 390);
  EXPECT_EQ(window.scrollRange(ScrollBar::kVertical), 800 - 290);
  // 1:1 keeps the image point that was under the window's centre there: at
  // 8/3 the centre (200, 150) showed image (533, 400).
  EXPECT_NEAR(window.scrollPos(ScrollBar::kHorizontal), 533 - 200, 1);
  EXPECT_NEAR(window.scrollPos(ScrollBar::kVertical), 400 - 150, 1);
  EXPECT_EQ(h->current->displayX, window.scrollPos(ScrollBar::kHorizontal));
  EXPECT_EQ(h->current->originX, h->current->displayX);
  // Fitting again counts the room of the bars.
  ASSERT_EQ(grxFitToWindow(&window, h, nullptr), 1);
  EXPECT_EQ(h->current->scale[1], 11);  // 1000/399 -> 8/3, 800/299 -> 11/4 from the table
  EXPECT_EQ(h->current->scale[0], 4);
  ASSERT_EQ(grxUpdateScrolling(&window, h, 0), 0);
  EXPECT_EQ(window.scrollRange(ScrollBar::kHorizontal), 0);
  grxCloseImage(h);
}

TEST(ViewRotation, KeepsTheCentreAndRefusesOddAngles) {
  ImageHdl h = blankImage(1000, 600);
  MemoryWindow window(200, 200);
  h->current->scale[0] = h->current->scale[1] = h->current->scale[2] = h->current->scale[3] = 1;
  ASSERT_EQ(grxUpdateScrolling(&window, h, 0), 0);
  window.setScrollPos(ScrollBar::kHorizontal, 300);
  window.setScrollPos(ScrollBar::kVertical, 100);
  // Centre (400, 200) of the image; at 900 it shows at device (200, 1000 - 400).
  ASSERT_EQ(grxSetViewRotation(&window, h, 900), 0);
  EXPECT_EQ(h->current->rotation, 900);
  EXPECT_EQ(window.scrollPos(ScrollBar::kHorizontal), 100);
  EXPECT_EQ(window.scrollPos(ScrollBar::kVertical), 500);
  EXPECT_EQ(grxSetViewRotation(&window, h, 450), -1);
  EXPECT_EQ(h->current->rotation, 900);
  GrxRect shown, image{0, 0, 10, 20};
  ASSERT_EQ(grxImageToDisplayRect(h, &shown, &image), 0);
  EXPECT_EQ(shown.left, 0 - 100);
  EXPECT_EQ(shown.top, 1000 - 10 - 500);
  EXPECT_EQ(shown.right, 20 - 100);
  grxCloseImage(h);
}

TEST(ZoomToRect, FitsTheSelectionAndShowsIt) {
  ImageHdl h = blankImage(4000, 3000);
  MemoryWindow window(400, 300);
  ASSERT_EQ(grxFitToWindow(&window, h, nullptr), 1);  // 10/1
  ASSERT_EQ(grxUpdateScrolling(&window, h, 0), 0);
  GrxRect selection{100, 100, 140, 130};  // image 1000..1400 x 1000..1300
  ASSERT_EQ(grxZoomToRect(&window, h, &selection), 0);
  EXPECT_EQ(h->current->scale[0], 1);
  EXPECT_EQ(h->current->scale[1], 1);
  EXPECT_EQ(window.scrollPos(ScrollBar::kHorizontal), 1000);
  EXPECT_EQ(window.scrollPos(ScrollBar::kVertical), 1000);
  GrxRect empty{5, 5, 5, 9};
  EXPECT_EQ(grxZoomToRect(&window, h, &empty), -1);
  grxCloseImage(h);
}

TEST(Paint, ThePreviewBitmapServesAnUnchangedView) {
  hv::test::TempDir dir;
  auto drawing = test::testDrawing(120, 90, 2);
  hv::test::writeFile(dir.file("d.tif"), test::rawTiff(drawing, false));
  ImageHdl h = grxOpenImage(nullptr, dir.file("d.tif").c_str(), 0, nullptr);  // preview requested
  ASSERT_NE(h, nullptr);
  MemoryWindow window(100, 80);
  ASSERT_EQ(grxFitToWindow(&window, h, nullptr), 1);
  ASSERT_EQ(grxUpdateScrolling(&window, h, 0), 0);
  ASSERT_EQ(grxDisplayImage(&window, nullptr, nullptr, h), 0);
  EXPECT_EQ(h->previewRequest, 0);
  auto first = window.pixels();
  // Without its reading operations a decode would fail: the repaint must not decode.
  auto saved = h->filter;
  h->filter = nullptr;
  window.clear();
  ASSERT_EQ(grxDisplayImage(&window, nullptr, nullptr, h), 0);
  EXPECT_EQ(window.pixels(), first);
  // A changed view decodes again (and here cannot).
  h->current->invert = 1;
  h->invert = 1;
  EXPECT_EQ(grxDisplayImage(&window, nullptr, nullptr, h), GRX_RENDER_NO_CONTEXT);
  h->filter = saved;
  ASSERT_EQ(grxDisplayImage(&window, nullptr, nullptr, h), 0);
  EXPECT_EQ(grxDisplayImage(nullptr, nullptr, nullptr, h), -3);
  EXPECT_EQ(grxDisplayImage(&window, nullptr, nullptr, nullptr), -2);
  // A rectangle beyond the displayed image draws nothing.
  GrxRect beyond{0, 76, 100, 80};  // the view is 100 x 75 at 6/5
  window.clear();
  EXPECT_EQ(grxDisplayImage(&window, nullptr, &beyond, h), 0);
  EXPECT_EQ(window.pixels(), std::vector<std::uint8_t>(window.pixels().size(), 0));
  grxCloseImage(h);
}

}  // namespace
}  // namespace hv::engine
