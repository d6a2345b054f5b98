// "Mirror image data": the saved file holds the mirrored picture, mirroring
// twice restores it, and an externally changed file is not mirrored unless
// reloaded.
#include <utime.h>

#include <QAction>
#include <QDir>
#include <QTest>

#include "viewer/main_frame.h"
#include "viewer/tests/drawing_files.h"
#include "viewer/tests/viewer_fixture.h"
#include "viewer/tests/viewer_tests.h"
#include "viewer/viewer_doc.h"
#include "viewer/viewer_view.h"

namespace hv::viewer::test {

namespace {

// True when `saved` shows `original` turned left to right (or unchanged when
// `mirrored` is false) in its top-left corner; the save may add white
// margins of its alignment to the right and bottom.
bool showsPicture(const hv::drawgen::Bitmap& saved, const hv::drawgen::Bitmap& original, bool mirrored) {
  if (saved.width < original.width || saved.height < original.height) return false;
  for (std::uint32_t y = 0; y < original.height; ++y)
    for (std::uint32_t x = 0; x < original.width; ++x)
      if (saved.get(x, y) != original.get(mirrored ? original.width - 1 - x : x, y)) return false;
  return true;
}

}  // namespace

class MirrorTest : public QObject {
  Q_OBJECT
  Prompts prompts_;
  CViewerApp* app() { return CViewerApp::instance(); }
  CMainFrame* frame() { return app()->mainFrame(); }

  QString drawing(const QString& name) {
    QString dir = dataRoot() + "mirror/";
    QDir().mkpath(dir);
    QString path = dir + name;
    QFile::remove(path);
    return writeDrawing(path.toStdString(), "TIFFGP4 ", 21, 800, 600) ? path : QString();
  }

 private slots:
  void init() {
    prompts_.texts.clear();
    prompts_.answer = QMessageBox::Yes;
    prompts_.install();
  }
  void cleanup() {
    frame()->closeAllDocuments();
    QCoreApplication::processEvents();
  }

  void mirrorMarksTheImageChangedAndTwiceRestoresIt() {
    const QString path = drawing("twice.tif");
    QVERIFY(!path.isEmpty());
    const hv::drawgen::Bitmap original = readBitmap(path.toStdString());
    CViewerDoc* doc = app()->OpenCommandPath(path);
    QVERIFY(doc && doc->image());
    QVERIFY(!doc->isModified());
    QVERIFY(frame()->commands().run("view.mirror"));
    QVERIFY(doc->isModified());
    doc->OnSave();
    QVERIFY(showsPicture(readBitmap(path.toStdString()), original, true));
    QVERIFY(!showsPicture(readBitmap(path.toStdString()), original, false));
    QVERIFY(frame()->commands().run("view.mirror"));
    QVERIFY(frame()->commands().run("view.mirror"));
    QVERIFY(frame()->commands().run("view.mirror"));
    doc->OnSave();
    QVERIFY(showsPicture(readBitmap(path.toStdString()), original, false));
    QVERIFY(prompts_.texts.isEmpty());
  }

  void anExternallyChangedFileIsNotMirroredWhenTheUserDeclines() {
    const QString path = drawing("external.tif");
    QVERIFY(!path.isEmpty());
    CViewerDoc* doc = app()->OpenCommandPath(path);
    QVERIFY(doc && doc->image());
    struct utimbuf times{1000000000, 1000000000};
    QCOMPARE(::utime(path.toLocal8Bit().constData(), &times), 0);
    prompts_.answer = QMessageBox::No;
    QVERIFY(!doc->firstView()->mirrorImage());
    QVERIFY(prompts_.saw("has been modified by another application"));
    QVERIFY(!doc->isModified());
  }
};

QObject* makeMirrorTest() { return new MirrorTest; }

}  // namespace hv::viewer::test

#include "mirror_test.moc"
