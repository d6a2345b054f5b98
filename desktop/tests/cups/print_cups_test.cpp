// Drawings printed through the real print path: Qt Print Support hands the
// page to a private CUPS server whose PDF queue writes it out; the PDF,
// rasterised at the printer's resolution, must show the engine's own render
// of the laid-out page.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

#include "desktop/print_page.h"
#include "desktop/printer_choice.h"
#include "desktop/tests/cups/cups_fixture.h"
#include "desktop/tests/print_test_support.h"
#include "desktop/tests/test_app.h"
#include "engine/display.h"
#include "tests/support/temp_dir.h"

namespace hv::desktop {
namespace {

using printtest::Bitmap;

using ::hv::desktop::test::app;

// The PDF's rasterisation must equal the engine's render pixel for pixel.
constexpr int kRadius = 0;

struct Printed {
  PrintStatus status = PrintStatus::kNoImage;
  PrintedPage page;
  Bitmap sheet;
  std::string error;
};

class PrintThroughCups : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    app();
    if (!printtest::underCupsHarness()) return;
    dir_ = new ::hv::test::TempDir;
    const drawgen::SheetSize e = drawgen::sheetSize('E', 200);
    eSheet_ = dir_->file("E-SHEET.tif");
    ASSERT_TRUE(printtest::writeDrawing(eSheet_, e.width, e.height, 200, 11, "tif"));
    portrait_ = dir_->file("PORTRAIT.cal");
    ASSERT_TRUE(printtest::writeDrawing(portrait_, 1700, 2200, 200, 12, "cal"));
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  void SetUp() override {
    if (!printtest::underCupsHarness())
      GTEST_SKIP() << "not under tests/support/cups-harness.sh: no private CUPS server";
    ASSERT_NE(dir_, nullptr);
    printtest::clearPdfs();
  }

  static Printed print(const std::string& path, PrintRequest request) {
    Printed out;
    ImageHdl h = grxOpenImage(nullptr, path.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
    if (h == nullptr) {
      out.error = "cannot open " + path;
      return out;
    }
    QPrinter printer(QPrinter::HighResolution);
    if (!usePrinter(printer, choosePrinter("", ""))) {
      out.error = "no default printer";
    } else if (printer.printerName().toStdString() != printtest::cupsQueue()) {
      out.error = "default printer is " + printer.printerName().toStdString();
    } else {
      request.image = h;
      out.status = printDrawing(printer, request, &out.page);
      if (out.status != PrintStatus::kPrinted) {
        out.error = "print failed";
      } else if (!printtest::waitForPdfs(1, 60)) {
        out.error = "no PDF from the queue within 60 s";
      } else {
        auto pdfs = printtest::printedPdfs();
        if (pdfs.size() != 1 || printtest::pdfPages(pdfs[0]) != 1)
          out.error = "expected one PDF of one page";
        else
          out.error = printtest::rasterisePdf(pdfs[0], out.page.dpi, out.sheet);
      }
    }
    grxCloseImage(h);
    return out;
  }

  static Bitmap expected(const std::string& path, const PrintedPage& page, bool invert) {
    ImageHdl h = grxOpenImage(nullptr, path.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
    Bitmap out = h ? printtest::referencePage(h, page, invert) : Bitmap();
    grxCloseImage(h);
    return out;
  }

  static QRect stampLine(const PrintedPage& page) {
    const GrxRect& s = page.layout.stamp;
    return QRect(s.left, s.top, s.right - s.left, s.bottom - s.top).translated(page.printable.topLeft());
  }

  static inline ::hv::test::TempDir* dir_ = nullptr;
  static inline std::string eSheet_, portrait_;
};

TEST_F(PrintThroughCups, LandscapeESheetOnPortraitLetterIsTurnedFittedWithEveryLine) {
  PrintRequest r;
  r.jobName = "E-SHEET";
  Printed p = print(eSheet_, r);
  ASSERT_EQ(p.error, "");
  EXPECT_LT(p.page.paper.width(), p.page.paper.height());
  EXPECT_EQ(p.page.layout.rotation, 900);
  Bitmap want = expected(eSheet_, p.page, false);
  ASSERT_GT(want.blackPixels(), 10000u);
  EXPECT_EQ(printtest::comparePages(want, p.sheet, kRadius, QRect()), "");
}

TEST_F(PrintThroughCups, ZoomedPrintShowsOnlyTheZoomedPart) {
  PrintRequest r;
  r.source = {6000, 4600, 8600, 6600};  // the title block corner, landscape
  r.rotateForBestFit = false;
  Printed p = print(eSheet_, r);
  ASSERT_EQ(p.error, "");
  EXPECT_EQ(p.page.layout.rotation, 0);
  Bitmap want = expected(eSheet_, p.page, false);
  EXPECT_EQ(printtest::comparePages(want, p.sheet, kRadius, QRect()), "");
  // The whole sheet's page is a different picture.
  PrintRequest whole;
  whole.rotateForBestFit = false;
  PrintedPage wholePage = p.page;
  engine::PrintSource s{8800, 6800, {0, 0, 0, 0}, 0};
  ASSERT_EQ(engine::layoutPrintPage({p.page.printable.width(), p.page.printable.height()}, s, {false, 0},
                                      wholePage.layout), hv::Status::Ok);
  EXPECT_NE(printtest::comparePages(expected(eSheet_, wholePage, false), p.sheet, kRadius, QRect()), "");
}

TEST_F(PrintThroughCups, StampIsPrintedWhenAskedAndOnlyThen) {
  PrintRequest r;
  r.stamp = "December 07, 2026 20:15:00 [PORTRAIT]";
  Printed stamped = print(portrait_, r);
  ASSERT_EQ(stamped.error, "");
  const QRect line = stampLine(stamped.page);
  ASSERT_FALSE(line.isEmpty());
  EXPECT_GT(printtest::blackIn(stamped.sheet, line), 100u);
  EXPECT_EQ(printtest::comparePages(expected(portrait_, stamped.page, false), stamped.sheet, kRadius, line), "");

  printtest::clearPdfs();
  r.stamp.clear();
  Printed bare = print(portrait_, r);
  ASSERT_EQ(bare.error, "");
  EXPECT_TRUE(stampLine(bare.page).isEmpty());
  EXPECT_EQ(printtest::blackIn(bare.sheet, line), 0u);
  EXPECT_EQ(printtest::comparePages(expected(portrait_, bare.page, false), bare.sheet, kRadius, QRect()), "");
}

TEST_F(PrintThroughCups, InvertedBitPrinterGetsTheInvertedPage) {
  const QString queue = QString::fromStdString(printtest::cupsQueue());
  PrintRequest r;
  r.invert = printsInverted(false, queue, QStringList{queue});
  ASSERT_TRUE(r.invert);
  Printed p = print(portrait_, r);
  ASSERT_EQ(p.error, "");
  Bitmap want = expected(portrait_, p.page, true);
  EXPECT_EQ(printtest::comparePages(want, p.sheet, kRadius, QRect()), "");
  // And it differs from the page a normal printer gets.
  EXPECT_NE(printtest::comparePages(expected(portrait_, p.page, false), p.sheet, kRadius, QRect()), "");
}

TEST_F(PrintThroughCups, PrinterChoiceFallsBackToInstalledNames) {
  const QString queue = QString::fromStdString(printtest::cupsQueue());
  EXPECT_EQ(choosePrinter(queue, "elsewhere"), queue);
  EXPECT_EQ(choosePrinter("gone", queue), queue);
  // Neither name installed: the print system's default destination.
  EXPECT_EQ(choosePrinter("gone", "elsewhere"), queue);
  EXPECT_EQ(choosePrinter("", ""), queue);
  // Names are compared exactly.
  EXPECT_EQ(choosePrinter(queue.toUpper(), ""), queue);
  QPrinter printer(QPrinter::HighResolution);
  EXPECT_FALSE(usePrinter(printer, "gone"));
  ASSERT_TRUE(usePrinter(printer, queue));
  EXPECT_EQ(printer.resolution(), 300);  // the queue's default, not Qt's 1200
  EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::Letter);
}

}  // namespace
}  // namespace hv::desktop
