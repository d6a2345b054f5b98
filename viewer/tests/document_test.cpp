// Opening, stepping through a folder, saving and the open failures.
#include <utime.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QScrollBar>
#include <QApplication>
#include <QFileDialog>
#include <QTest>
#include <QTimer>

#include "docindex/docfiles_store.h"
#include "viewer/child_frame.h"
#include "viewer/file_codes.h"
#include "viewer/main_frame.h"
#include "viewer/tests/drawing_files.h"
#include "viewer/tests/viewer_fixture.h"
#include "viewer/tests/viewer_tests.h"
#include "viewer/viewer_doc.h"
#include "viewer/viewer_view.h"

namespace hv::viewer::test {

namespace {

std::string s(const QString& q) { return q.toLocal8Bit().toStdString(); }

QString freshFolder(const QString& name) {
  QString dir = dataRoot() + name + "/";
  QDir(dir).removeRecursively();
  QDir().mkpath(dir);
  return dir;
}

// Black pixels the view shows after painting.
int blackPixelsShown(CViewerView* view) {
  view->resize(800, 600);
  QImage shot = view->viewport()->grab().toImage().convertToFormat(QImage::Format_Grayscale8);
  int black = 0;
  for (int y = 0; y < shot.height(); ++y) {
    const uchar* row = shot.constScanLine(y);
    for (int x = 0; x < shot.width(); ++x) black += row[x] < 128;
  }
  return black;
}

// The saved picture holds the original; the white margins of the save
// alignment (8 pixels) may follow it.
bool samePicture(const hv::drawgen::Bitmap& saved, const hv::drawgen::Bitmap& original) {
  if (saved.width < original.width || saved.height < original.height || saved.width >= original.width + 16 ||
      saved.height >= original.height + 16)
    return false;
  for (std::uint32_t y = 0; y < saved.height; ++y)
    for (std::uint32_t x = 0; x < saved.width; ++x)
      if (saved.get(x, y) != original.get(x, y)) return false;
  return true;
}

// Runs `action` on the modal file dialog once it shows.
void whenDialogShows(std::function<void(QFileDialog*)> action) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, action] {
    if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      action(d);
      if (d->isVisible()) d->reject();
    }
  });
  timer->start();
}

}  // namespace

class DocumentTest : public QObject {
  Q_OBJECT
  Prompts prompts_;
  CViewerApp* app() { return CViewerApp::instance(); }
  CMainFrame* frame() { return app()->mainFrame(); }

 private slots:
  void init() {
    prompts_.texts.clear();
    prompts_.answer = QMessageBox::Yes;
    prompts_.install();
    app()->values().typeCheckImages = 1;
  }
  void cleanup() {
    frame()->closeAllDocuments();
    QCoreApplication::processEvents();
  }

  void opensEveryFormatFromTheCommandLine_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("kind");
    for (auto [f, k] : {std::pair{"TIFFGP4 ", "TIFF"}, {"TIFFGP3 ", "TIFF"}, {"TIFFGP3T", "TIFF"},
                        {"TIFFRAWM", "TIFF"}, {"TIFFGP4W", "TIFF"}, {"CAL1GP4 ", "CAL1"}, {"CAL2GP4 ", "CAL2"},
                        {"EDM6GP4 ", "EDM6"}})
      QTest::newRow(f) << QString(f) << QString(k);
  }
  void opensEveryFormatFromTheCommandLine() {
    QFETCH(QString, format);
    QFETCH(QString, kind);
    QString dir = freshFolder("formats");
    QString path = dir + "drawing " + format.trimmed() + ".img";
    QVERIFY(writeDrawing(s(path), format.toLatin1().constData(), 3));
    CViewerDoc* doc = app()->OpenCommandPath("\"" + path + "\"");
    QVERIFY(doc != nullptr);
    QVERIFY(doc->image() != nullptr);
    QCOMPARE(QString(doc->codes().kind), kind);
    QVERIFY(prompts_.texts.isEmpty());
    QVERIFY(blackPixelsShown(doc->firstView()) > 1000);
    QCOMPARE(doc->firstView()->lastPaintStatus(), 0);
  }

  void stepsThroughAFolderKeepingTheListUntilItChanges_data() {
    QTest::addColumn<bool>("typeCheck");
    QTest::newRow("type check on") << true;
    QTest::newRow("type check off") << false;
  }
  void stepsThroughAFolderKeepingTheListUntilItChanges() {
    QFETCH(bool, typeCheck);
    app()->values().typeCheckImages = typeCheck;
    QString dir = freshFolder("steps");
    for (int i = 0; i < 4; ++i) QVERIFY(writeDrawing(s(dir + QString("d%1.tif").arg(i)), "TIFFGP4 ", 10 + i, 400, 300));
    QFile notes(dir + "notes.txt");
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.write("not a drawing");
    notes.close();
    QFile(dir + "JMX.HOL").open(QIODevice::WriteOnly);
    QDir().mkpath(dir + "sub");

    CViewerDoc* doc = app()->OpenCommandPath(dir + "d0.tif");
    QVERIFY(doc);
    const std::vector<std::string>& names = doc->neighbours().names();
    QCOMPARE(int(names.size()), typeCheck ? 4 : 5);
    for (const std::string& n : names) QVERIFY(n != "JMX.HOL" && n != "sub");

    // Walk to one end, then to the other, counting every file once.
    auto* next = frame()->commands().action("file.next");
    auto* previous = frame()->commands().action("file.previous");
    int enumerations = doc->neighbours().enumerations();
    int guard = 0;
    while (doc->canPrevious() && guard++ < 10) doc->OnPrevious();
    frame()->refreshTools();
    QVERIFY(!previous->isEnabled());
    QSet<QString> seen{doc->fileName()};
    guard = 0;
    while (doc->canNext() && guard++ < 10) {
      doc->OnNext();
      seen << doc->fileName();
    }
    frame()->refreshTools();
    QVERIFY(!next->isEnabled());
    QVERIFY(previous->isEnabled());
    QCOMPARE(int(seen.size()), typeCheck ? 4 : 5);
    QCOMPARE(doc->neighbours().enumerations(), enumerations);

    // A new file in the folder makes the next step enumerate it again.
    QVERIFY(writeDrawing(s(dir + "d9.tif"), "TIFFGP4 ", 99, 400, 300));
    doc->OnPrevious();
    QCOMPARE(doc->neighbours().enumerations(), enumerations + 1);
    bool listed = false;
    for (const std::string& n : doc->neighbours().names()) listed = listed || n == "d9.tif";
    QVERIFY(listed);
  }

  void savingAGroup4TiffKeepsItsFormatAndPicture() {
    QString dir = freshFolder("save");
    QString path = dir + "sheet.tif";
    QVERIFY(writeDrawing(s(path), "TIFFGP4 ", 5));
    hv::drawgen::Bitmap before = readBitmap(s(path));
    CViewerDoc* doc = app()->OpenCommandPath(path);
    QVERIFY(doc && doc->image());
    doc->setModified(true);
    frame()->refreshTools();
    QVERIFY(frame()->commands().action("file.save")->isEnabled());
    doc->OnSave();
    QVERIFY(prompts_.texts.isEmpty());
    FileCodes codes;
    QCOMPARE(IdentifyFileCodes(s(path), codes), 1);
    QCOMPARE(QString(codes.kind), QString("TIFF"));
    QCOMPARE(QString(codes.compression), QString("GP4 "));
    QVERIFY(samePicture(readBitmap(s(path)), before));
    QVERIFY(doc->image() != nullptr);
    QVERIFY(!doc->isModified());
    QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden).size(), 1);
  }

  void saveAsWritesEveryTypeNumber_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("compression");
    QTest::newRow("1") << 1 << "TIFF" << "GP4 ";
    QTest::newRow("2") << 2 << "TIFF" << "GP3 ";
    QTest::newRow("3") << 3 << "TIFF" << "GP3T";
    QTest::newRow("4") << 4 << "CAL1" << "GP4 ";
    QTest::newRow("5") << 5 << "CAL2" << "GP4 ";
    QTest::newRow("6") << 6 << "EDM6" << "GP4 ";
    QTest::newRow("other") << 9 << "TIFF" << "GP4 ";
  }
  void saveAsWritesEveryTypeNumber() {
    QFETCH(int, type);
    QFETCH(QString, kind);
    QFETCH(QString, compression);
    QString dir = freshFolder("saveas");
    QVERIFY(writeDrawing(s(dir + "source.tif"), "TIFFGP4 ", 6, 800, 600));
    CViewerDoc* doc = app()->OpenCommandPath(dir + "source.tif");
    QVERIFY(doc && doc->image());
    QString target = dir + "copy.out";
    QVERIFY(doc->SaveAsPath(target, type));
    FileCodes codes;
    QCOMPARE(IdentifyFileCodes(s(target), codes), 1);
    QCOMPARE(QString(codes.kind), kind);
    if (kind == "TIFF") QCOMPARE(QString(codes.compression), compression);
    QVERIFY(samePicture(readBitmap(s(target)), readBitmap(s(dir + "source.tif"))));
  }

  void aFailedSaveAsLeavesNothingBehind() {
    QString dir = freshFolder("failedsave");
    QVERIFY(writeDrawing(s(dir + "a.tif"), "TIFFGP4 ", 7, 400, 300));
    QFile blocker(dir + "blocker");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    CViewerDoc* doc = app()->OpenCommandPath(dir + "a.tif");
    QVERIFY(doc && doc->image());
    QVERIFY(!doc->SaveAsPath(dir + "blocker/b.tif", 1));
    QVERIFY(prompts_.saw("Unable to save"));
    QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden).size(), 2);
    QVERIFY(doc->image() != nullptr);
  }

  void anExternallyChangedFileAsksBeforeSaving() {
    QString dir = freshFolder("external");
    QString path = dir + "sheet.tif";
    QVERIFY(writeDrawing(s(path), "TIFFGP4 ", 8, 400, 300));
    CViewerDoc* doc = app()->OpenCommandPath(path);
    QVERIFY(doc && doc->image());
    doc->setModified(true);
    struct utimbuf times{1000000000, 1000000000};
    QCOMPARE(::utime(s(path).c_str(), &times), 0);
    QFile before(path);
    QVERIFY(before.open(QIODevice::ReadOnly));
    QByteArray bytes = before.readAll();
    before.close();
    prompts_.answer = QMessageBox::No;
    doc->OnSave();
    QVERIFY(prompts_.saw("has been modified by another application.\n\nAny changes you have made will be lost."));
    QFile after(path);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), bytes);
    QVERIFY(doc->isModified());
  }

  void zeroLengthAndUnknownFilesGiveTheirMessages() {
    QString dir = freshFolder("odd");
    QFile empty(dir + "empty.dat");
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    QFile unknown(dir + "readme.xyz");
    QVERIFY(unknown.open(QIODevice::WriteOnly));
    unknown.write("plain text, no drawing\n");
    unknown.close();

    CViewerDoc* doc = app()->OpenCommandPath(dir + "empty.dat");
    QVERIFY(doc && !doc->image());
    QVERIFY(prompts_.saw(QString("The file %1 is not a valid image file.\n\nIt is 0 bytes in length.")
                             .arg(dir + "empty.dat")));
    prompts_.texts.clear();
    doc = app()->OpenCommandPath(dir + "readme.xyz");
    QVERIFY(doc && !doc->image());
    QVERIFY(prompts_.saw("readme.xyz is an Unknown File Type.\n\nLongname:  "));
    QVERIFY(doc->title().startsWith("readme.xyz is an Unknown File Type."));
  }

  void aMissingFileIsReportedAndNothingOpens() {
    QCOMPARE(app()->OpenCommandPath(dataRoot() + "nowhere/none.tif"), nullptr);
    QVERIFY(prompts_.saw("Unable to access this file during open attempt:\n\n("));
    QCOMPARE(frame()->documentCount(), 0);
  }

  void theOpenSelectionIsTheNextPreviousList() {
    QString dir = freshFolder("selection");
    for (int i = 0; i < 4; ++i) QVERIFY(writeDrawing(s(dir + QString("s%1.tif").arg(i)), "TIFFGP4 ", 30 + i, 300, 200));
    app()->values().initialPath = dir;
    whenDialogShows([dir](QFileDialog* d) {
      d->setDirectory(dir);
      d->selectFile("\"s1.tif\" \"s3.tif\"");
      QMetaObject::invokeMethod(d, "accept");
    });
    frame()->commands().run("file.open");
    QCOMPARE(frame()->documentCount(), 2);
    for (auto* child : frame()->children()) {
      CViewerDoc* doc = child->document();
      QCOMPARE(int(doc->neighbours().names().size()), 2);
      QCOMPARE(doc->neighbours().enumerations(), 0);
      QVERIFY(doc->canNext() != doc->canPrevious());
    }
  }

  void saveAsThroughTheDialogWritesTheChosenType() {
    QString dir = freshFolder("saveasdialog");
    QVERIFY(writeDrawing(s(dir + "plan.tif"), "TIFFGP4 ", 40, 600, 400));
    CViewerDoc* doc = app()->OpenCommandPath(dir + "plan.tif");
    QVERIFY(doc && doc->image());
    whenDialogShows([dir](QFileDialog* d) {
      d->setDirectory(dir);
      d->selectNameFilter(d->nameFilters().value(3));
      d->selectFile("plan-cals.cal");
      QMetaObject::invokeMethod(d, "accept");
    });
    doc->OnSaveAs();
    QStringList written = QDir(dir).entryList({"plan-cals*"}, QDir::Files);
    QCOMPARE(written.size(), 1);
    FileCodes codes;
    QCOMPARE(IdentifyFileCodes(s(dir + written.front()), codes), 1);
    QCOMPARE(QString(codes.kind), QString("CAL1"));
  }

  void anAliasedImageFindsItsRecordsAndSavesItsEditHistory() {
    QString dir = freshFolder("records");
    const std::string longName = std::string(60, 'L').replace(0, 8, "DRAWING-") + "0001";
    QVERIFY(writeDrawing(s(dir + "OPTI0001.TIF"), "TIFFGP4 ", 50, 500, 400));
    QCOMPARE(hv::docindex::appendRecord(s(dir), longName, "OPTI0001.TIF", 'A'), hv::Status::Ok);
    JedmicsHollRec jmx;
    QCOMPARE(jmxholl_InitRecord(&jmx), 1);
    QCOMPARE(jmxholl_WriteJmxRec(s(dir).c_str(), &jmx, 1), 1);
    RecordHollerith holl;
    QCOMPARE(hollrec_XlateLongNameToRec(longName.c_str(), &holl), 1);
    QFile index(dir + "INDEX.HOL");
    QVERIFY(index.open(QIODevice::WriteOnly));
    index.write(holl.bytes, sizeof holl.bytes);
    index.write("\r\n");
    index.close();

    CViewerDoc* doc = app()->OpenCommandPath(dir + QString::fromStdString(longName));
    QVERIFY(doc && doc->image());
    QCOMPARE(doc->fileName(), QString("OPTI0001.TIF"));
    QCOMPARE(doc->jedmicsIndex(), 0);
    QCOMPARE(doc->hollerithIndex(), 0);
    QCOMPARE(doc->jedmicsReference(), dir + jmxholl_GetJmxHollFileBase() + "#0");

    CHVEditOps::editops_EditOpOccurred(&doc->editOps(), CHVEditOps::EditOpMirror, 0);
    doc->setModified(true);
    doc->OnSave();
    QVERIFY(prompts_.texts.isEmpty());
    JedmicsHollRec jmxAfter;
    QCOMPARE(jmxholl_FindRecUsingLongName(s(dir).c_str(), longName.c_str(), &jmxAfter), 0);
    CHVEditOps::REC_EDIT_OPS ops{};
    CHVEditOps::editops_JmxRecToEditOp(&jmxAfter, &ops);
    QCOMPARE(ops.mirrored, 1);
    RecordHollerith hollAfter;
    QCOMPARE(hollrec_FindRecUsingLongName(s(dir).c_str(), longName.c_str(), &hollAfter), 0);
    ops = {};
    CHVEditOps::editops_HollRecToEditOp(&hollAfter, &ops);
    QCOMPARE(ops.mirrored, 1);
    QCOMPARE(doc->editOps().mirrored, 1);
  }

  void droppedFilesOpenEachInItsWindow() {
    QString dir = freshFolder("dropped");
    QVERIFY(writeDrawing(s(dir + "x.tif"), "TIFFGP4 ", 60, 300, 200));
    QVERIFY(writeDrawing(s(dir + "y.cal"), "CAL1GP4 ", 61, 300, 200));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(dir + "x.tif"), QUrl::fromLocalFile(dir + "y.cal")});
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QVERIFY(frame()->acceptDrops());
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame(), &enter);
    QVERIFY(enter.isAccepted());
    QApplication::sendEvent(frame(), &drop);
    QCOMPARE(frame()->documentCount(), 2);
    QVERIFY(prompts_.texts.isEmpty());
  }

  void keysScrollAsTheTableSays() {
    QString dir = freshFolder("keys");
    QVERIFY(writeDrawing(s(dir + "big.tif"), "TIFFGP4 ", 4, 1600, 1200));
    app()->mainFrame()->viewState()[ViewState::InitialView] = 1;
    CViewerDoc* doc = app()->OpenCommandPath(dir + "big.tif");
    app()->mainFrame()->viewState()[ViewState::InitialView] = 0;
    QVERIFY(doc && doc->image());
    CViewerView* view = doc->firstView();
    view->resize(400, 300);
    doc->UpdateAllViews(HintNewImage);
    auto* h = view->horizontalScrollBar();
    auto* v = view->verticalScrollBar();
    QVERIFY(h->maximum() > 0 && v->maximum() > 0);
    h->setValue(0);
    v->setValue(0);
    QTest::keyClick(view, Qt::Key_PageUp);
    QCOMPARE(h->value(), std::min(h->maximum(), h->pageStep()));
    QCOMPARE(v->value(), 0);
    QTest::keyClick(view, Qt::Key_PageDown, Qt::ControlModifier);
    QVERIFY(v->value() > 0);
    QTest::keyClick(view, Qt::Key_End);
    QCOMPARE(h->value(), h->maximum());
    QTest::keyClick(view, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(v->value(), 0);
    QCOMPARE(h->value(), h->maximum());
    QTest::keyClick(view, Qt::Key_Left);
    QCOMPARE(h->value(), h->maximum() - h->singleStep());
    QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(v->value(), v->maximum());
  }
};

QObject* makeDocumentTest() { return new DocumentTest; }

}  // namespace hv::viewer::test

#include "document_test.moc"
