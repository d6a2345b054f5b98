// The overview window: the toggle, the fitted picture, the mark following
// the active view's scrolling, zoom and rotation, and panning by the mark.
#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>

#include "viewer/child_frame.h"
#include "viewer/main_frame.h"
#include "viewer/overview_window.h"
#include "viewer/tests/drawing_files.h"
#include "viewer/tests/viewer_fixture.h"
#include "viewer/tests/viewer_tests.h"
#include "viewer/viewer_doc.h"
#include "viewer/viewer_view.h"

namespace hv::viewer::test {

namespace {

bool anyBlack(const QImage& picture) {
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x)
      if (picture.pixelIndex(x, y) == 1) return true;
  return false;
}

}  // namespace

class OverviewTest : public QObject {
  Q_OBJECT
  Prompts prompts_;
  CViewerApp* app() { return CViewerApp::instance(); }
  CMainFrame* frame() { return app()->mainFrame(); }
  CPanOverViewWnd* overview() { return CPanOverViewWnd::of(*frame(), false); }

  CViewerView* openBitmap(const QString& name, const hv::drawgen::Bitmap& bitmap) {
    return openInView("overview/", name, bitmap, 200);
  }
  CViewerView* open(unsigned width, unsigned height) {
    return openBitmap(QString("d%1x%2.tif").arg(width).arg(height),
                      hv::drawgen::generateDrawing(width, height, 200, 11));
  }
  // The overview shown and up to date with the active view.
  CPanOverViewWnd* shown() {
    if (overview() == nullptr || !overview()->isVisible()) runCommand("view.overview");
    CPanOverViewWnd* w = overview();
    if (w) w->sync();
    return w;
  }
  // Scrolls the view as its scroll bars would and lets the overview follow.
  void scrollTo(CViewerView* v, int x, int y) {
    v->horizontalScrollBar()->setValue(x);
    v->verticalScrollBar()->setValue(y);
    QCoreApplication::processEvents();
    overview()->sync();
  }

 private slots:
  void init() {
    prompts_.texts.clear();
    prompts_.install();
  }
  void cleanup() {
    if (overview()) overview()->hide();
    frame()->closeAllDocuments();
    QCoreApplication::processEvents();
  }

  void toggleShowsAFittedPictureAndChecksTheCommand() {
    frame()->closeAllDocuments();
    QCoreApplication::processEvents();
    QVERIFY(!commandEnabled("view.overview"));
    CViewerView* v = open(3400, 2200);
    QVERIFY(v);
    QVERIFY(commandEnabled("view.overview"));
    QVERIFY(!commandChecked("view.overview"));
    CPanOverViewWnd* w = shown();
    QVERIFY(w && w->isVisible());
    QVERIFY(commandChecked("view.overview"));
    QCOMPARE(w->windowTitle(), QString("Overview"));
    QVERIFY(w->windowFlags() & Qt::Tool);
    QCOMPARE(w->parentWidget(), static_cast<QWidget*>(frame()));
    // The whole image in its proportions, the window one pixel larger.
    const QImage& p = w->picture();
    QVERIFY(!p.isNull());
    QVERIFY(qAbs(double(p.width()) / p.height() - 3400.0 / 2200.0) < 0.05);
    QCOMPARE(w->size(), p.size() + QSize(1, 1));
    QVERIFY(anyBlack(p));
    // At most a third of the frame's client area wide.
    QVERIFY(w->width() <= frame()->findChild<QMdiArea*>()->width() / 3 + 1);

    QVERIFY(runCommand("view.overview"));
    QVERIFY(!w->isVisible());
    QVERIFY(!commandChecked("view.overview"));
    // A hidden overview keeps no picture.
    QVERIFY(w->picture().isNull());
  }

  void thinLinesSurviveTheReduction() {
    // One pixel wide lines on a sheet reduced about 30 times.
    hv::drawgen::Bitmap b(9000, 6000);
    for (std::uint32_t x = 0; x < b.width; ++x) b.set(x, 3001);
    for (std::uint32_t y = 0; y < b.height; ++y) b.set(4507, y);
    CViewerView* v = openBitmap("lines.tif", b);
    QVERIFY(v);
    CPanOverViewWnd* w = shown();
    const QImage& p = w->picture();
    QVERIFY(p.width() < 400);
    const int row = int(3001.0 * p.height() / 6000), column = int(4507.0 * p.width() / 9000);
    int rowBlack = 0, columnBlack = 0;
    for (int x = 0; x < p.width(); ++x) rowBlack += p.pixelIndex(x, row) == 1 ? 1 : 0;
    for (int y = 0; y < p.height(); ++y) columnBlack += p.pixelIndex(column, y) == 1 ? 1 : 0;
    QCOMPARE(rowBlack, p.width());
    QCOMPARE(columnBlack, p.height());
  }

  void markFollowsScrollingAndZoomWithoutDrawingAgain() {
    CViewerView* v = open(3400, 2200);
    QVERIFY(v);
    QVERIFY(runCommand("view.actualSize"));
    CPanOverViewWnd* w = shown();
    const int renders = w->renderCount();
    const double f = double(w->picture().width()) / 3400;
    scrollTo(v, 0, 0);
    QRect m = w->markRect();
    QCOMPARE(m.topLeft(), QPoint(0, 0));
    QVERIFY(qAbs(m.width() - 800 * f) <= 1.5);
    QVERIFY(qAbs(m.height() - 600 * f) <= 1.5);

    scrollTo(v, 1000, 700);
    m = w->markRect();
    QVERIFY2(qAbs(m.left() - 1000 * f) <= 1, qPrintable(QString::number(m.left())));
    QVERIFY(qAbs(m.top() - 700 * f) <= 1);
    // Scrolled to the far corner, the mark ends at the picture's edge.
    scrollTo(v, 100000, 100000);
    m = w->markRect();
    QCOMPARE(m.left() + m.width(), w->picture().width());
    QCOMPARE(m.top() + m.height(), w->picture().height());

    // Zooming in shows less: the mark shrinks; fitting shows all of it.
    const QSize before = m.size();
    QVERIFY(runCommand("view.zoomIn"));
    QCoreApplication::processEvents();
    w->sync();
    QVERIFY(w->markRect().width() < before.width());
    QVERIFY(w->markRect().height() < before.height());
    QVERIFY(runCommand("view.fit"));
    QCoreApplication::processEvents();
    w->sync();
    QCOMPARE(w->markRect(), QRect(QPoint(0, 0), w->picture().size()));
    // None of that drew the picture again.
    QCOMPARE(w->renderCount(), renders);
  }

  void rotationAndInversionDrawThePictureAgain() {
    CViewerView* v = open(3400, 2200);
    QVERIFY(v);
    CPanOverViewWnd* w = shown();
    QVERIFY(w->picture().width() > w->picture().height());
    QVERIFY(runCommand("view.rotateLeft"));
    QCoreApplication::processEvents();
    w->sync();
    QVERIFY(w->picture().width() < w->picture().height());
    QCOMPARE(w->size(), w->picture().size() + QSize(1, 1));
    const QImage upright = w->picture().copy();
    QVERIFY(runCommand("view.invert"));
    QCoreApplication::processEvents();
    w->sync();
    QCOMPARE(w->picture().size(), upright.size());
    // Inverted: every pixel the other way round.
    QImage flipped = upright.copy();
    flipped.invertPixels();
    QCOMPARE(w->picture().convertToFormat(QImage::Format_RGB32), flipped.convertToFormat(QImage::Format_RGB32));
  }

  void draggingTheMarkPansTheView() {
    CViewerView* v = open(3400, 2200);
    QVERIFY(v);
    QVERIFY(runCommand("view.actualSize"));
    CPanOverViewWnd* w = shown();
    scrollTo(v, 0, 0);
    const double f = double(w->picture().width()) / 3400;
    const QPoint grab = w->markRect().center();
    sendMouse(w, QEvent::MouseButtonPress, grab);
    sendMouse(w, QEvent::MouseMove, grab + QPoint(10, 5));
    QVERIFY(v->horizontalScrollBar()->value() > 0);
    sendMouse(w, QEvent::MouseMove, grab + QPoint(30, 20));
    sendMouse(w, QEvent::MouseButtonRelease, grab + QPoint(30, 20));
    QVERIFY(qAbs(v->horizontalScrollBar()->value() - 30 / f) <= 1 / f + 1);
    QVERIFY(qAbs(v->verticalScrollBar()->value() - 20 / f) <= 1 / f + 1);
    w->sync();
    QVERIFY(qAbs(w->markRect().left() - 30) <= 1);

    // A click beside the mark centres the view there.
    const QPoint target(w->picture().width() / 2, w->picture().height() / 2 + 15);
    QVERIFY(!w->markRect().contains(target));
    sendMouse(w, QEvent::MouseButtonPress, target);
    sendMouse(w, QEvent::MouseButtonRelease, target);
    w->sync();
    QVERIFY((w->markRect().center() - target).manhattanLength() <= 3);
    // The view's own picture moved: its centre shows the clicked image point.
    const int centreX = v->horizontalScrollBar()->value() + 400;
    QVERIFY(qAbs(centreX * f - target.x()) <= 2);
  }

  void followsTheActiveViewAndItsClosing() {
    CViewerView* wide = open(3400, 2200);
    CViewerView* tall = open(1200, 2400);
    QVERIFY(wide && tall);
    CPanOverViewWnd* w = shown();
    auto* mdi = frame()->findChild<QMdiArea*>();
    auto activate = [&](CViewerView* v) {
      for (QMdiSubWindow* s : mdi->subWindowList())
        if (static_cast<CChildFrame*>(s)->view() == v) mdi->setActiveSubWindow(s);
      QCoreApplication::processEvents();
      w->sync();
    };
    activate(wide);
    QCOMPARE(w->view(), wide);
    QVERIFY(w->picture().width() > w->picture().height());
    activate(tall);
    QCOMPARE(w->view(), tall);
    QVERIFY(w->picture().width() < w->picture().height());

    frame()->closeAllDocuments();
    QCoreApplication::processEvents();
    w->sync();
    QCOMPARE(w->view(), static_cast<CViewerView*>(nullptr));
    QVERIFY(w->picture().isNull());
    QVERIFY(w->markRect().isNull());
    // Still showing: it can be turned off without an image.
    QVERIFY(commandEnabled("view.overview"));
    QVERIFY(runCommand("view.overview"));
    QVERIFY(!w->isVisible());
    QVERIFY(!commandEnabled("view.overview"));
  }

  void aNewImageInTheSameViewIsDrawn() {
    CViewerView* v = open(3400, 2200);
    QVERIFY(v);
    CPanOverViewWnd* w = shown();
    const int renders = w->renderCount();
    v->GetDocument()->UpdateAllViews(HintNewImage);
    QCoreApplication::processEvents();
    w->sync();
    QCOMPARE(w->renderCount(), renders + 1);
  }
};

QObject* makeOverviewTest() { return new OverviewTest; }

}  // namespace hv::viewer::test

#include "overview_test.moc"
