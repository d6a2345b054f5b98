// The main frame's own commands: New, the redraw on restore, and the tool
// bar's pictures and tips.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTest>
#include <QToolBar>
#include <QWindowStateChangeEvent>

#include "viewer/child_frame.h"
#include "viewer/main_frame.h"
#include "viewer/tests/drawing_files.h"
#include "viewer/tests/viewer_fixture.h"
#include "viewer/tests/viewer_tests.h"
#include "viewer/viewer_doc.h"
#include "viewer/viewer_view.h"

namespace hv::viewer::test {

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

}  // namespace

class FrameCommandsTest : public QObject {
  Q_OBJECT
  Prompts prompts_;
  CViewerApp* app() { return CViewerApp::instance(); }
  CMainFrame* frame() { return app()->mainFrame(); }

 private slots:
  void init() { prompts_.install(); }
  void cleanup() {
    frame()->closeAllDocuments();
    QTRY_COMPARE(frame()->documentCount(), 0);
    prompts_.texts.clear();
  }

  void newGivesEmptyDocumentsNumberedInTurn() {
    QVERIFY(frame()->commands().run("file.new"));
    CViewerDoc* first = frame()->activeDocument();
    QVERIFY(first != nullptr);
    QVERIFY(first->image() == nullptr);
    QVERIFY(frame()->commands().run("file.new"));
    CViewerDoc* second = frame()->activeDocument();
    QVERIFY(second != first);
    QCOMPARE(frame()->documentCount(), 2);
    const int n = first->title().mid(6).toInt();
    QVERIFY(first->title().startsWith("Viewer") && n > 0);
    QCOMPARE(second->title(), QString("Viewer%1").arg(n + 1));
    QVERIFY(frame()->windowTitle().endsWith("[" + second->title() + "]"));
    // Nothing to save, step to or reload in an empty document.
    for (const char* id : {"file.save", "file.saveAs", "file.next", "file.previous", "file.reload", "view.fit"})
      QVERIFY2(!frame()->commands().action(id)->isEnabled(), id);
    QVERIFY(prompts_.texts.isEmpty());
  }

  void restoringTheWindowRedrawsTheActiveImage() {
    QString dir = dataRoot() + "frame/";
    QDir().mkpath(dir);
    QString path = dir + "restore.tif";
    QVERIFY(writeBitmap(path.toStdString(), hv::drawgen::generateDrawing(800, 600, 100, 3), "TIFFGP4 ", 100));
    CViewerDoc* doc = app()->OpenCommandPath(path);
    QVERIFY(doc && doc->firstView());
    QWidget* viewport = doc->firstView()->viewport();
    QTRY_VERIFY(viewport->isVisible());
    QCoreApplication::processEvents();
    PaintCounter counter;
    viewport->installEventFilter(&counter);
    // Another state change (normal to maximised) is no restore.
    QWindowStateChangeEvent toMaximised(Qt::WindowNoState);
    frame()->setWindowState(Qt::WindowNoState);
    QCoreApplication::processEvents();
    counter.paints = 0;
    QApplication::sendEvent(frame(), &toMaximised);
    QCoreApplication::processEvents();
    QCOMPARE(counter.paints, 0);
    QWindowStateChangeEvent fromMinimised(Qt::WindowMinimized);
    QApplication::sendEvent(frame(), &fromMinimised);
    QTRY_VERIFY(counter.paints > 0);
    viewport->removeEventFilter(&counter);
  }

  void theToolBarHasAPictureAndATipForEveryButton() {
    auto* bar = frame()->findChild<QToolBar*>("ToolBar");
    QVERIFY(bar != nullptr);
    QStringList tips;
    for (QAction* a : bar->actions()) {
      if (a->isSeparator()) continue;
      QVERIFY2(!a->icon().pixmap(16, 16).isNull(), qPrintable(a->objectName()));
      QVERIFY2(!a->icon().pixmap(24, 24).isNull(), qPrintable(a->objectName()));
      tips << a->toolTip();
    }
    QCOMPARE(tips, QStringList({"Open", "Next", "Previous", "Save", "Reload", "Print", "Fit in window", "Zoom in",
                                "Zoom out", "Invert", "Rotate left", "Rotate right", "Toggle Overview",
                                "Undo last view", "Add to FILEDATA file", "Send to Cardwright", "Edit mode", "Cascade",
                                "Tile Horizontally", "Tile Vertically", "About", "Help Topics"}));
  }

  void theViewShowsTheImagePixelForPixelAtAnyScrollPosition() {
    QString dir = dataRoot() + "frame/";
    QDir().mkpath(dir);
    QString path = dir + "pixels.tif";
    const hv::drawgen::Bitmap bitmap = hv::drawgen::generateDrawing(1700, 1100, 200, 5);
    QVERIFY(writeBitmap(path.toStdString(), bitmap, "TIFFGP4 ", 200));
    CViewerDoc* doc = app()->OpenCommandPath(path);
    QVERIFY(doc && doc->firstView());
    if (!doc->GetPrintStamp().isEmpty()) doc->toggleStamp();
    CViewerView* view = doc->firstView();
    // A window whose width is no whole number of bytes of packed pixels.
    CChildFrame* child = frame()->activeChild();
    child->showNormal();
    child->resize(637, 451);
    QTRY_VERIFY(view->viewport()->width() % 8 != 0);
    QVERIFY(frame()->commands().run("view.actualSize"));
    // Scroll positions that start the window inside a byte of the packed rows.
    for (QPoint at : {QPoint(0, 0), QPoint(13, 7), QPoint(501, 333)}) {
      view->horizontalScrollBar()->setValue(at.x());
      view->verticalScrollBar()->setValue(at.y());
      QCOMPARE(QPoint(view->horizontalScrollBar()->value(), view->verticalScrollBar()->value()), at);
      const QImage shot = view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
      int wrong = 0;
      for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
          const bool black = bitmap.get(std::uint32_t(x + at.x()), std::uint32_t(y + at.y()));
          wrong += (qGray(shot.pixel(x, y)) < 128) != black;
        }
      QVERIFY2(wrong == 0, qPrintable(QString("%1 pixels differ at %2,%3").arg(wrong).arg(at.x()).arg(at.y())));
    }
  }

  void editingCommandsAreShownAndDisabled() {
    QVERIFY(frame()->commands().run("file.new"));
    for (const char* id : {"edit.eraseInside", "edit.copy", "edit.paste", "edit.extractEmbedded", "edit.boxA"}) {
      QAction* a = frame()->commands().action(id);
      QVERIFY2(a != nullptr && !a->isEnabled(), id);
      QVERIFY(!frame()->commands().run(id));
    }
  }
};

QObject* makeFrameCommandsTest() { return new FrameCommandsTest; }

}  // namespace hv::viewer::test

#include "frame_commands_test.moc"
