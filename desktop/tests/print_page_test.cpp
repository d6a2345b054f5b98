// The printed page painted in process: the picture equals the engine's own
// render of the laid-out page pixel for pixel, turned, inverted and stamped
// as asked.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "desktop/print_page.h"
#include "desktop/printer_choice.h"
#include "desktop/tests/print_test_support.h"
#include "desktop/tests/test_application.h"
#include "engine/display.h"
#include "engine/image_memory.h"
#include "engine/packed.h"
#include "tests/support/temp_dir.h"

namespace hv::desktop {
namespace {

using printtest::Bitmap;

QApplication& app() { return testApplication(); }

// A US Letter sheet at 100 dpi with quarter-inch margins.
constexpr int kDpi = 100;
const QRect kPaper(0, 0, 850, 1100);
const QRect kPrintable(25, 25, 800, 1050);

struct Painted {
  Bitmap sheet;
  PrintedPage page;
  bool laidOut = false;
};

Painted paint(const PrintRequest& request) {
  QImage image(kPaper.size(), QImage::Format_RGB32);
  image.fill(Qt::white);
  image.setDotsPerMeterX(int(kDpi / 0.0254 + 0.5));
  image.setDotsPerMeterY(int(kDpi / 0.0254 + 0.5));
  Painted out;
  out.page.paper = kPaper;
  out.page.printable = kPrintable;
  {
    QPainter painter(&image);
    painter.translate(kPrintable.topLeft());
    out.laidOut = paintPrintPage(painter, kPrintable.size(), kDpi, request, &out.page);
  }
  out.sheet = printtest::fromImage(image);
  return out;
}

QRect stampOnSheet(const PrintedPage& page) {
  const GrxRect& s = page.layout.stamp;
  return QRect(s.left, s.top, s.right - s.left, s.bottom - s.top).translated(page.printable.topLeft());
}

class PrintPage : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    app();
    dir_ = new ::hv::test::TempDir;
    const drawgen::SheetSize e = drawgen::sheetSize('E', 50);  // 2200 x 1700, landscape
    landscape_ = dir_->file("e-size.tif");
    ASSERT_TRUE(printtest::writeDrawing(landscape_, e.width, e.height, 50, 7, "tif"));
    portrait_ = dir_->file("portrait.cal");
    ASSERT_TRUE(printtest::writeDrawing(portrait_, 700, 1000, 100, 8, "cal"));
  }
  static void TearDownTestSuite() { delete dir_; }

  void SetUp() override { ASSERT_NE(dir_, nullptr); }

  static ImageHdl open(const std::string& path) { return grxOpenImage(nullptr, path.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr); }

  static inline ::hv::test::TempDir* dir_ = nullptr;
  static inline std::string landscape_, portrait_;
};

TEST_F(PrintPage, LandscapeSheetIsTurnedAndEqualsTheEngineRender) {
  ImageHdl h = open(landscape_);
  ASSERT_NE(h, nullptr);
  PrintRequest r;
  r.image = h;
  Painted p = paint(r);
  ASSERT_TRUE(p.laidOut);
  EXPECT_EQ(p.page.layout.rotation, 900);
  EXPECT_EQ(p.page.renderStatus, GRX_RENDER_DONE);
  Bitmap expected = printtest::referencePage(h, p.page, false);
  ASSERT_GT(expected.blackPixels(), 1000u);
  EXPECT_EQ(drawgen::firstDifference(expected, p.sheet), "");
  // Without best fit the same sheet stays landscape and is smaller.
  r.rotateForBestFit = false;
  Painted flat = paint(r);
  EXPECT_EQ(flat.page.layout.rotation, 0);
  EXPECT_EQ(drawgen::firstDifference(printtest::referencePage(h, flat.page, false), flat.sheet), "");
  EXPECT_NE(drawgen::firstDifference(expected, flat.sheet), "");
  grxCloseImage(h);
}

TEST_F(PrintPage, InvertedPrintInvertsThePictureOnly) {
  ImageHdl h = open(portrait_);
  ASSERT_NE(h, nullptr);
  PrintRequest r;
  r.image = h;
  r.invert = true;
  Painted p = paint(r);
  ASSERT_TRUE(p.laidOut);
  EXPECT_EQ(p.page.layout.rotation, 0);
  Bitmap expected = printtest::referencePage(h, p.page, true);
  EXPECT_EQ(drawgen::firstDifference(expected, p.sheet), "");
  // The picture is mostly black now, the margins stay white, and the
  // handle's own flag is left as it was.
  const GrxRect& pic = p.page.layout.picture;
  QRect onSheet(pic.left + kPrintable.left(), pic.top + kPrintable.top(), pic.right - pic.left, pic.bottom - pic.top);
  EXPECT_GT(printtest::blackIn(p.sheet, onSheet), std::uint64_t(onSheet.width()) * onSheet.height() / 2);
  EXPECT_EQ(printtest::blackIn(p.sheet, QRect(0, 0, kPaper.width(), kPrintable.top())), 0u);
  EXPECT_EQ(h->invert, 0);
  grxCloseImage(h);
}

TEST_F(PrintPage, ZoomedPrintShowsOnlyTheZoomedPart) {
  ImageHdl h = open(landscape_);
  ASSERT_NE(h, nullptr);
  PrintRequest r;
  r.image = h;
  r.source = {200, 300, 600, 900};  // portrait part of the title area
  Painted p = paint(r);
  ASSERT_TRUE(p.laidOut);
  EXPECT_EQ(p.page.layout.rotation, 0);
  EXPECT_GT(p.page.layout.scale[0], p.page.layout.scale[1]);  // magnified
  EXPECT_EQ(drawgen::firstDifference(printtest::referencePage(h, p.page, false), p.sheet), "");
  // A print of another part differs.
  r.source = {1200, 300, 1600, 900};
  Painted other = paint(r);
  EXPECT_NE(drawgen::firstDifference(p.sheet, other.sheet), "");
  grxCloseImage(h);
}

TEST_F(PrintPage, StampIsWrittenInItsOwnLineOnlyWhenAsked) {
  ImageHdl h = open(portrait_);
  ASSERT_NE(h, nullptr);
  PrintRequest r;
  r.image = h;
  r.stamp = "January 05, 2024 13:04:09 [PORTRAIT]";
  Painted p = paint(r);
  ASSERT_TRUE(p.laidOut);
  const QRect line = stampOnSheet(p.page);
  ASSERT_FALSE(line.isEmpty());
  EXPECT_GE(line.height(), engine::stampPrintHeight(kDpi));
  EXPECT_GT(printtest::blackIn(p.sheet, line), 50u);
  EXPECT_GE(p.page.layout.picture.top, line.height());
  // Outside the stamp line the page is the engine's render.
  EXPECT_EQ(printtest::comparePages(printtest::referencePage(h, p.page, false), p.sheet, 0, line), "");
  r.stamp.clear();
  Painted bare = paint(r);
  EXPECT_TRUE(stampOnSheet(bare.page).isEmpty());
  EXPECT_EQ(drawgen::firstDifference(printtest::referencePage(h, bare.page, false), bare.sheet), "");
  grxCloseImage(h);
}

TEST_F(PrintPage, ImageHeldOnlyInMemoryPrintsFromIt) {
  // An image made in memory (as after an edit) has no file to draw from.
  const Bitmap bm = drawgen::generateDrawing(900, 600, 100, 9);
  int status = 0;
  ImageHdl h = grxCreateImage(&status, bm.width, bm.height, 100, 100);
  ASSERT_NE(h, nullptr);
  std::vector<engine::Transition> list(bm.width + 4);
  for (std::uint32_t y = 0; y < bm.height; ++y) {
    std::size_t n = engine::bitsToList(bm.row(y), bm.width, list.data(), list.size());
    ASSERT_EQ(engine::putLineCopy(h->memory, y, list.data(), n), hv::Status::Ok);
  }
  PrintRequest r;
  r.image = h;
  Painted p = paint(r);
  ASSERT_TRUE(p.laidOut);
  EXPECT_EQ(p.page.layout.rotation, 900);
  EXPECT_EQ(p.page.layout.image.right, 900);
  Bitmap expected = printtest::referencePage(h, p.page, false);
  ASSERT_GT(expected.blackPixels(), 1000u);
  EXPECT_EQ(drawgen::firstDifference(expected, p.sheet), "");
  grxCloseImage(h);
}

TEST_F(PrintPage, NothingIsDrawnWithoutAnImageOrRoom) {
  PrintRequest r;
  Painted none = paint(r);
  EXPECT_FALSE(none.laidOut);
  EXPECT_EQ(none.sheet.blackPixels(), 0u);
  ImageHdl h = open(portrait_);
  ASSERT_NE(h, nullptr);
  r.image = h;
  r.viewRotation = 450;
  EXPECT_FALSE(paint(r).laidOut);
  grxCloseImage(h);
}

TEST(InvertedBitPrinters, ListNamesAreExactAndTurnTheViewsPolarity) {
  const QStringList list{"Plotter-7", "hp_room2"};
  EXPECT_TRUE(isInvertedBitPrinter("Plotter-7", list));
  EXPECT_FALSE(isInvertedBitPrinter("plotter-7", list));
  EXPECT_FALSE(isInvertedBitPrinter("Plotter-7 ", list));
  EXPECT_FALSE(isInvertedBitPrinter("", QStringList{""}));
  EXPECT_TRUE(printsInverted(false, "hp_room2", list));
  EXPECT_FALSE(printsInverted(true, "hp_room2", list));
  EXPECT_TRUE(printsInverted(true, "laser", list));
  EXPECT_FALSE(printsInverted(false, "laser", list));
}

}  // namespace
}  // namespace hv::desktop
