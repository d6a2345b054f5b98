// Scrolling moves the pixels already shown and draws only what comes into
// view: after any mix of scrolling the window must show exactly what a full
// paint of the view shows, the stamp included.
#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QWindow>

#include "viewer/main_frame.h"
#include "viewer/tests/drawing_files.h"
#include "viewer/tests/viewer_fixture.h"
#include "viewer/tests/viewer_tests.h"
#include "viewer/viewer_doc.h"
#include "viewer/viewer_view.h"

namespace hv::viewer::test {

class ViewScrollTest : public QObject {
  Q_OBJECT
  Prompts prompts_;

  CViewerView* open() {
    const QString dir = dataRoot() + "scroll/";
    QDir().mkpath(dir);
    const QString path = dir + "sheet.tif";
    if (!writeBitmap(path.toStdString(), hv::drawgen::generateDrawing(3400, 2200, 200, 5), "TIFFGP4 ", 200))
      return nullptr;
    CViewerDoc* doc = CViewerApp::instance()->OpenCommandPath(path);
    if (doc == nullptr || doc->firstView() == nullptr) return nullptr;
    CViewerView* v = doc->firstView();
    v->actualSize();
    QCoreApplication::processEvents();
    return v;
  }
  // What the window shows now (the backing store), and what a full paint of
  // the view gives.
  static QImage shown(CViewerView* v) {
    v->viewport()->repaint(QRect(0, 0, 1, 1));
    QWidget* top = v->window();
    const QPoint at = v->viewport()->mapTo(top, QPoint(0, 0));
    const QPixmap all = top->screen()->grabWindow(top->winId());
    return all.copy(QRect(at, v->viewport()->size())).toImage().convertToFormat(QImage::Format_RGB32);
  }
  static QImage painted(CViewerView* v) {
    return v->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }

 private slots:
  void init() { prompts_.install(); }
  void cleanup() {
    CViewerApp::instance()->mainFrame()->closeAllDocuments();
    QCoreApplication::processEvents();
  }

  void scrolledPixelsMatchAFullPaint() {
    CViewerView* v = open();
    QVERIFY(v);
    QVERIFY(v->isVisible());
    QVERIFY(v->verticalScrollBar()->maximum() > 0 && v->horizontalScrollBar()->maximum() > 0);
    QVERIFY(!v->GetDocument()->GetPrintStamp().isEmpty());
    const QList<int> keys = {Qt::Key_Down, Qt::Key_Down, Qt::Key_Right, Qt::Key_Up, Qt::Key_PageUp,
                             Qt::Key_Left, Qt::Key_Up,   Qt::Key_Down,  Qt::Key_End};
    const QImage first = shown(v);
    QVERIFY(!first.isNull());
    for (int key : keys) {
      QTest::keyClick(v, Qt::Key(key));
      const QImage now = shown(v), full = painted(v);
      QCOMPARE(now.size(), full.size());
      // The stamp's clock may tick between the two pictures: its line is
      // compared apart, for having text at all.
      const QRect below(0, 16, now.width(), now.height() - 16);
      QVERIFY2(now.copy(below) == full.copy(below), qPrintable(QString("after key %1").arg(key, 0, 16)));
    }
    QVERIFY(shown(v) != first);
  }
};

QObject* makeViewScrollTest() { return new ViewScrollTest; }

}  // namespace hv::viewer::test

#include "view_scroll_test.moc"
