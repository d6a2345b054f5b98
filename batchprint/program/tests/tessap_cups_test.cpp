// tessap end to end: lists of drawings printed on the default destination of
// a private CUPS server; every PDF page must be the engine's render of the
// drawing fitted and turned to the page.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QPrinter>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "desktop/print_page.h"
#include "desktop/printer_choice.h"
#include "desktop/tests/cups/cups_fixture.h"
#include "desktop/tests/print_test_support.h"
#include "desktop/tests/test_app.h"
#include "tests/support/temp_dir.h"

namespace hv::tessap {
namespace {

using printtest::Bitmap;

using ::hv::desktop::test::app;

bool exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

class Tessap : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    app();
    if (!printtest::underCupsHarness()) return;
    dir_ = new ::hv::test::TempDir;
    const drawgen::SheetSize b = drawgen::sheetSize('B', 200);  // 3400 x 2200
    landscape_ = dir_->file("B-SHEET.tif");
    ASSERT_TRUE(printtest::writeDrawing(landscape_, b.width, b.height, 200, 21, "tif"));
    portrait_ = dir_->file("A-SHEET.cal");
    ASSERT_TRUE(printtest::writeDrawing(portrait_, 1700, 2200, 200, 22, "cal"));
    tiled_ = dir_->file("TILED.c4");
    ASSERT_TRUE(printtest::writeDrawing(tiled_, 2600, 1800, 200, 23, "edm6"));
    corrupt_ = dir_->file("CORRUPT.tif");
    std::ofstream(corrupt_, std::ios::binary) << "II*\0garbage that is no directory at all";
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

  // Writes a list file with the given bytes and returns its path.
  static std::string list(const std::string& name, const std::string& bytes) {
    std::string path = dir_->file(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  // Runs the program (bounded by a timeout); returns its exit status.
  static int run(const std::string& args, const char* program = TESSAP_PATH, int seconds = 120) {
    return test::runCommand("timeout " + std::to_string(seconds) + " '" + std::string(program) + "' " + args +
                            " 2>" + dir_->file("stderr.txt"));
  }

  // The page tessap prints for a drawing: the default destination's page,
  // the drawing fitted and turned to it.
  static Bitmap expectedPage(const std::string& path, bool invert, int* dpi) {
    QPrinter printer(QPrinter::HighResolution);
    if (!desktop::usePrinter(printer, QString())) return Bitmap();
    desktop::PrintedPage page;
    page.dpi = printer.resolution();
    page.paper = printer.pageLayout().fullRectPixels(page.dpi);
    page.printable = printer.pageLayout().paintRectPixels(page.dpi);
    ImageHdl h = grxOpenImage(nullptr, path.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
    if (h == nullptr) return Bitmap();
    engine::PrintSource s{h->record->width, h->record->height, {0, 0, 0, 0}, 0};
    Bitmap out;
    if (engine::layoutPrintPage({page.printable.width(), page.printable.height()}, s, {true, 0}, page.layout) == Status::Ok)
      out = printtest::referencePage(h, page, invert);
    grxCloseImage(h);
    *dpi = page.dpi;
    return out;
  }

  // Compares the i-th PDF with the drawing's expected page.
  static void expectPrinted(const std::string& pdf, const std::string& drawing, bool invert) {
    SCOPED_TRACE(drawing);
    int dpi = 0;
    Bitmap want = expectedPage(drawing, invert, &dpi);
    ASSERT_GT(want.blackPixels(), 1000u);
    Bitmap sheet;
    ASSERT_EQ(printtest::rasterisePdf(pdf, dpi, sheet), "");
    EXPECT_EQ(printtest::pdfPages(pdf), 1);
    EXPECT_EQ(printtest::comparePages(want, sheet, 0, QRect()), "");
  }

  static inline ::hv::test::TempDir* dir_ = nullptr;
  static inline std::string landscape_, portrait_, tiled_, corrupt_;
};

TEST_F(Tessap, MixedListPrintsOneFittedTurnedPagePerDrawingThatLoads) {
  const std::string l = list("mixed", landscape_ + "\n" + corrupt_ + "\n" + portrait_ + "\n" +
                                          dir_->file("MISSING.tif") + "\n" + tiled_ + "\n");
  ASSERT_EQ(run("'' -b '" + l + "'"), 0) << test::readFile(dir_->file("stderr.txt"));
  EXPECT_FALSE(exists(l));
  ASSERT_TRUE(printtest::waitForPdfs(3, 120));
  const auto pdfs = printtest::printedPdfs();
  ASSERT_EQ(pdfs.size(), 3u);
  expectPrinted(pdfs[0], landscape_, false);
  expectPrinted(pdfs[1], portrait_, false);
  expectPrinted(pdfs[2], tiled_, false);
}

TEST_F(Tessap, InvertOptionInvertsAndUpperCaseListOptionIsTheSame) {
  const std::string l = list("inv", portrait_ + "\n");
  ASSERT_EQ(run("-i -B '" + l + "'", TESSAP32_PATH), 0) << test::readFile(dir_->file("stderr.txt"));
  EXPECT_FALSE(exists(l));
  ASSERT_TRUE(printtest::waitForPdfs(1, 60));
  auto pdfs = printtest::printedPdfs();
  ASSERT_EQ(pdfs.size(), 1u);
  expectPrinted(pdfs[0], portrait_, true);
  // "-b" gives the same page as "-B".
  Bitmap upper;
  ASSERT_EQ(printtest::rasterisePdf(pdfs[0], 300, upper), "");
  printtest::clearPdfs();
  const std::string l2 = list("inv2", portrait_ + "\n");
  ASSERT_EQ(run("-I -b '" + l2 + "'"), 0);
  ASSERT_TRUE(printtest::waitForPdfs(1, 60));
  pdfs = printtest::printedPdfs();
  ASSERT_EQ(pdfs.size(), 1u);
  Bitmap lower;
  ASSERT_EQ(printtest::rasterisePdf(pdfs[0], 300, lower), "");
  EXPECT_EQ(drawgen::firstDifference(upper, lower), "");
}

TEST_F(Tessap, EmptyListPrintsNothingAndCrLfLinesWork) {
  const std::string empty = list("empty", "");
  ASSERT_EQ(run("-b '" + empty + "'"), 0);
  EXPECT_FALSE(exists(empty));
  const std::string blank = list("blank", "\r\n\n\r\n");
  ASSERT_EQ(run("-b '" + blank + "'"), 0);
  EXPECT_FALSE(exists(blank));
  ASSERT_TRUE(printtest::waitForPdfs(0, 30));
  EXPECT_TRUE(printtest::printedPdfs().empty());

  const std::string crlf = list("crlf", portrait_ + "\r\n");
  ASSERT_EQ(run("-b '" + crlf + "'"), 0);
  EXPECT_FALSE(exists(crlf));
  ASSERT_TRUE(printtest::waitForPdfs(1, 60));
  const auto pdfs = printtest::printedPdfs();
  ASSERT_EQ(pdfs.size(), 1u);
  expectPrinted(pdfs[0], portrait_, false);
}

TEST_F(Tessap, HostileListPrintsTheGoodEntriesAndEnds) {
  const std::string fifo = dir_->file("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string bytes;
  for (int i = 0; i < 10000; ++i) bytes += dir_->file("nothing-" + std::to_string(i)) + "\n";
  bytes += std::string(100000, 'x') + "\n";
  bytes += portrait_ + "\n";
  bytes += std::string(100000, '/') + "\n";
  static const char junk[] = "\x01\x02\xff junk \0 with nul\n";
  bytes += std::string(junk, sizeof junk - 1);
  bytes += dir_->path() + "\n" + fifo + "\n/dev/zero\n/dev/null\n";
  bytes += landscape_ + "\r\n";
  bytes += std::string(3000, '\n');
  const std::string l = list("hostile", bytes);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(run("-b '" + l + "'", TESSAP_PATH, 300), 0) << test::readFile(dir_->file("stderr.txt"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(120));
  EXPECT_FALSE(exists(l));
  EXPECT_TRUE(exists(fifo));
  ASSERT_TRUE(printtest::waitForPdfs(2, 120));
  const auto pdfs = printtest::printedPdfs();
  ASSERT_EQ(pdfs.size(), 2u);
  expectPrinted(pdfs[0], portrait_, false);
  expectPrinted(pdfs[1], landscape_, false);
}

TEST_F(Tessap, LongNameInAFolderWithPointsPrintsTheStoredShortFile) {
  // The folder's name holds points; the listed long name (with an
  // extension) is stored under its short name in DOCFILES.IDX.
  const std::string folder = dir_->file("job.2024.rev-b/");
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(portrait_, folder + "OPTI0007");
  std::string record(80, '\0');
  const std::string longName = "DRAWING-1234-SHEET-2";
  record.replace(0, longName.size(), longName);
  record.replace(64, 8, "OPTI0007");
  record[77] = 'W';
  std::ofstream(folder + "DOCFILES.IDX", std::ios::binary) << record;
  const std::string l = list("alias", folder + longName + ".tif\n");
  ASSERT_EQ(run("-b '" + l + "'"), 0) << test::readFile(dir_->file("stderr.txt"));
  ASSERT_TRUE(printtest::waitForPdfs(1, 60));
  const auto pdfs = printtest::printedPdfs();
  ASSERT_EQ(pdfs.size(), 1u);
  expectPrinted(pdfs[0], portrait_, false);
}

TEST_F(Tessap, MissingOrInvalidListIsReportedAndNothingPrints) {
  EXPECT_EQ(run("-i"), 1);
  EXPECT_NE(test::readFile(dir_->file("stderr.txt")).find("Missing Batch Print File List -- Nothing to Print"),
            std::string::npos);
  const std::string missing = dir_->file("no-such-list");
  EXPECT_EQ(run("-b '" + missing + "'"), 1);
  EXPECT_NE(test::readFile(dir_->file("stderr.txt"))
                .find("The Batch Print File List:  " + missing + " is invalid -- Nothing to Print"),
            std::string::npos);
  // A folder or a pipe named as the list is refused, not read, and kept.
  EXPECT_EQ(run("-b '" + dir_->path() + "'"), 1);
  const std::string fifo = dir_->file("list-pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(run("-b '" + fifo + "'", TESSAP_PATH, 30), 1);
  EXPECT_TRUE(exists(fifo));
  ASSERT_TRUE(printtest::waitForPdfs(0, 30));
  EXPECT_TRUE(printtest::printedPdfs().empty());
}

}  // namespace
}  // namespace hv::tessap
