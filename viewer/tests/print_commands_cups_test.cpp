// The viewer's own print commands ("Print", "Print View") run from the
// command table in a viewer with an open drawing; the print dialog they show
// is answered from here, the private CUPS server's PDF queue writes the
// page, and the page rasterised at the printer's resolution must equal the
// engine's own render of the same page laid out the same way.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "desktop/print_page.h"
#include "desktop/printer_choice.h"
#include "desktop/tests/cups/cups_fixture.h"
#include "desktop/tests/print_test_support.h"
#include "engine/display.h"
#include "viewer/main_frame.h"
#include "viewer/tests/drawing_files.h"
#include "viewer/tests/viewer_fixture.h"
#include "viewer/viewer_doc.h"
#include "viewer/viewer_view.h"

namespace hv::viewer::test {

using hv::drawgen::Bitmap;

namespace {

// A landscape D-size drawing at 200 dpi: turned to fit portrait Letter.
constexpr unsigned kWidth = 6800, kHeight = 4400, kDpi = 200;

// Print dialogs accepted by acceptDialogWhenShown.
int dialogsAccepted = 0;

// Accepts the print dialog once it is the active modal window.
void acceptDialogWhenShown(int triesLeft = 200) {
  QTimer::singleShot(50, [triesLeft] {
    if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
      ++dialogsAccepted;
      dialog->accept();
    } else if (triesLeft > 0) {
      acceptDialogWhenShown(triesLeft - 1);
    }
  });
}

// Pixels inside `rect` of the same colour in both sheets: zero when one
// sheet is the other with black and white swapped there.
std::uint64_t sameColourIn(const Bitmap& a, const Bitmap& b, const QRect& rect) {
  std::uint64_t n = 0;
  for (int y = rect.top(); y <= rect.bottom(); ++y)
    for (int x = rect.left(); x <= rect.right(); ++x)
      n += a.get(std::uint32_t(x), std::uint32_t(y)) == b.get(std::uint32_t(x), std::uint32_t(y));
  return n;
}

}  // namespace

class PrintCommandsThroughCups : public QObject {
  Q_OBJECT
  Prompts prompts_;
  QString path_;
  CViewerView* view_ = nullptr;

  CViewerApp* app() { return CViewerApp::instance(); }
  CMainFrame* frame() { return app()->mainFrame(); }

  // Runs a print command of the frame, accepts its dialog and reads back the
  // one page the queue wrote; "" or what went wrong.
  std::string printWith(const char* id, Bitmap& sheet) {
    printtest::clearPdfs();
    prompts_.texts.clear();
    const int accepted = dialogsAccepted;
    acceptDialogWhenShown();
    if (!frame()->commands().run(id)) return std::string("command ") + id + " did not run";
    if (dialogsAccepted != accepted + 1) return "the command showed no print dialog";
    if (!prompts_.texts.isEmpty()) return "the viewer said: " + prompts_.texts.join(" / ").toStdString();
    if (!printtest::waitForPdfs(1, 60)) return "no PDF from the queue within 60 s";
    const auto pdfs = printtest::printedPdfs();
    if (pdfs.size() != 1 || printtest::pdfPages(pdfs[0]) != 1) return "expected one PDF of one page";
    return printtest::rasterisePdf(pdfs[0], page().dpi, sheet);
  }

  // The page the queue's printer offers, laid out for `source` as the print
  // commands lay it out (rotation for best fit from the frame, the view's
  // rotation, a stamp line when `stamped`).
  desktop::PrintedPage page(GrxRect source = {0, 0, 0, 0}, bool stamped = false) {
    desktop::PrintedPage out;
    QPrinter printer(QPrinter::HighResolution);
    if (!desktop::usePrinter(printer, QString::fromStdString(printtest::cupsQueue()))) return out;
    out.dpi = printer.resolution();
    out.paper = printer.pageLayout().fullRectPixels(out.dpi);
    out.printable = printer.pageLayout().paintRectPixels(out.dpi);
    engine::PrintOptions options;
    options.rotateForBestFit = frame()->rotateForBestFit();
    if (stamped) {
      // The stamp font measured on a device of the printer's resolution.
      QImage probe(8, 8, QImage::Format_Mono);
      const int dpm = qRound(out.dpi / 0.0254);
      probe.setDotsPerMeterX(dpm);
      probe.setDotsPerMeterY(dpm);
      QPainter painter(&probe);
      options.stampLine = desktop::stampLineHeight(&painter, out.dpi);
    }
    engine::PrintSource s{kWidth, kHeight, source, view_->GetDocument()->image()->current->rotation};
    if (engine::layoutPrintPage({out.printable.width(), out.printable.height()}, s, options, out.layout) != hv::Status::Ok)
      out.dpi = 0;
    return out;
  }

  // The engine's render of that page from the drawing's file.
  Bitmap expected(const desktop::PrintedPage& p, bool invert) {
    ImageHdl h = grxOpenImage(nullptr, path_.toLocal8Bit().constData(), GRX_OPEN_ONE_TO_ONE, nullptr);
    Bitmap out = h ? printtest::referencePage(h, p, invert) : Bitmap();
    grxCloseImage(h);
    return out;
  }

  static QRect onSheet(const desktop::PrintedPage& p, const GrxRect& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top).translated(p.printable.topLeft());
  }

  bool stampOn() { return !view_->GetDocument()->GetPrintStamp().isEmpty(); }
  void setStamp(bool on) {
    if (stampOn() != on) frame()->commands().run("file.stamp");
  }

 private slots:
  void initTestCase() {
    if (!printtest::underCupsHarness()) QSKIP("not under tests/support/cups-harness.sh: no private CUPS server");
    prompts_.install();
    path_ = dataRoot() + "printcmds/PRINTED-SHEET.tif";
    view_ = openInView("printcmds/", "PRINTED-SHEET.tif", drawgen::generateDrawing(kWidth, kHeight, kDpi, 23),
                       kDpi);
    QVERIFY(view_ != nullptr);
    QVERIFY(frame()->commands().action("file.print")->isEnabled());
    QCOMPARE(page().dpi, 300);  // the queue's default resolution
  }

  void init() { app()->values().invertedPrinters.clear(); }

  void zoomedViewPrintsOnlyTheZoomedPartAndPrintTheWholeSheet() {
    setStamp(false);
    QVERIFY(view_->fitMode());
    // Zoomed in until the view shows about a quarter of the sheet's width.
    QRect shown = view_->imageRectOf(view_->viewport()->rect());
    for (int i = 0; i < 12 && shown.width() >= int(kWidth) / 3 && view_->canZoomIn(); ++i) {
      view_->zoomIn();
      QCoreApplication::sendPostedEvents();
      shown = view_->imageRectOf(view_->viewport()->rect());
    }
    QVERIFY2(!shown.isEmpty() && shown.width() < int(kWidth) / 3, "the view is not zoomed in");
    // Scrolled into the sheet, away from its top-left corner.
    view_->horizontalScrollBar()->setValue(view_->horizontalScrollBar()->maximum() / 2);
    view_->verticalScrollBar()->setValue(view_->verticalScrollBar()->maximum() * 2 / 3);
    QCoreApplication::sendPostedEvents();
    shown = view_->imageRectOf(view_->viewport()->rect());
    QVERIFY2(shown.left() > 0 && shown.top() > 0, "the view did not scroll");
    const GrxRect part{shown.left(), shown.top(), shown.right() + 1, shown.bottom() + 1};

    Bitmap zoomed;
    QCOMPARE(printWith("file.printView", zoomed), std::string());
    const desktop::PrintedPage zoomedPage = page(part);
    QVERIFY(zoomedPage.dpi > 0);
    const Bitmap wantZoomed = expected(zoomedPage, false);
    QVERIFY(wantZoomed.blackPixels() > 1000);
    QCOMPARE(printtest::comparePages(wantZoomed, zoomed, 0, QRect()), std::string());
    const desktop::PrintedPage wholePage = page();
    QVERIFY(printtest::comparePages(expected(wholePage, false), zoomed, 0, QRect()) != "");

    // "Print" of the same zoomed view puts the whole sheet on the page.
    Bitmap whole;
    QCOMPARE(printWith("file.print", whole), std::string());
    QCOMPARE(printtest::comparePages(expected(wholePage, false), whole, 0, QRect()), std::string());
    view_->fitInWindow();
  }

  void rotatedZoomedViewPrintsTheShownPartTurnedAsShown() {
    setStamp(false);
    const bool bestFit = frame()->rotateForBestFit();
    frame()->setRotateForBestFit(false);
    view_->setRotation(900);
    for (int i = 0; i < 4 && view_->canZoomIn(); ++i) view_->zoomIn();
    QCoreApplication::sendPostedEvents();
    const QRect shown = view_->imageRectOf(view_->viewport()->rect());
    QVERIFY(!shown.isEmpty() && shown.width() < int(kWidth));
    Bitmap printed;
    const std::string error = printWith("file.printView", printed);
    const desktop::PrintedPage p = page({shown.left(), shown.top(), shown.right() + 1, shown.bottom() + 1});
    frame()->setRotateForBestFit(bestFit);
    view_->setRotation(0);
    view_->fitInWindow();
    QCOMPARE(error, std::string());
    QCOMPARE(p.layout.rotation, 900);
    QCOMPARE(printtest::comparePages(expected(p, false), printed, 0, QRect()), std::string());
  }

  void stampIsOnThePageOnlyWhenTheSettingIsOn() {
    setStamp(true);
    QVERIFY(stampOn());
    Bitmap stamped;
    QCOMPARE(printWith("file.print", stamped), std::string());
    const desktop::PrintedPage stampedPage = page({0, 0, 0, 0}, true);
    const QRect line = onSheet(stampedPage, stampedPage.layout.stamp);
    QVERIFY(!line.isEmpty());
    QVERIFY2(printtest::blackIn(stamped, line) > 100, "no stamp text on the page");
    // Below the stamp line, the picture moved down to make room for it.
    QCOMPARE(printtest::comparePages(expected(stampedPage, false), stamped, 0, line), std::string());

    setStamp(false);
    Bitmap bare;
    QCOMPARE(printWith("file.print", bare), std::string());
    // Every pixel of the page, the stamp's place included, is the picture's.
    QCOMPARE(printtest::comparePages(expected(page(), false), bare, 0, QRect()), std::string());
    QVERIFY(printtest::comparePages(stamped, bare, 0, QRect()) != "");
  }

  void invertedBitPrinterGetsBlackAndWhiteSwapped() {
    setStamp(false);
    QVERIFY(view_->viewState()[ViewState::Invert] == 0);
    Bitmap normal;
    QCOMPARE(printWith("file.print", normal), std::string());

    app()->values().invertedPrinters = {"another-queue", QString::fromStdString(printtest::cupsQueue())};
    Bitmap inverted;
    QCOMPARE(printWith("file.print", inverted), std::string());
    const desktop::PrintedPage p = page();
    QCOMPARE(printtest::comparePages(expected(p, true), inverted, 0, QRect()), std::string());
    // Inside the picture every pixel is the other colour of the normal
    // print's; the paper around it stays white.
    const QRect picture = onSheet(p, p.layout.picture);
    QCOMPARE(sameColourIn(normal, inverted, picture), std::uint64_t(0));
    QCOMPARE(printtest::blackIn(inverted, QRect(0, 0, int(inverted.width), picture.top())), std::uint64_t(0));

    // Names are compared exactly: another spelling is a normal printer.
    app()->values().invertedPrinters = {QString::fromStdString(printtest::cupsQueue()).toUpper()};
    view_->viewState()[ViewState::Invert] = 0;
    Bitmap again;
    QCOMPARE(printWith("file.print", again), std::string());
    QCOMPARE(printtest::comparePages(normal, again, 0, QRect()), std::string());
  }
};

}  // namespace hv::viewer::test

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  return hv::viewer::test::runInEmptyViewer(
      argc, argv, {[]() -> QObject* { return new hv::viewer::test::PrintCommandsThroughCups; }});
}

#include "print_commands_cups_test.moc"
