// The image queue: hand-over files, the folder's ownership checks, rescued
// copies and the unattended print cycle.
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTest>

#include "viewer/image_queue.h"
#include "viewer/main_frame.h"
#include "viewer/tests/drawing_files.h"
#include "viewer/tests/viewer_fixture.h"
#include "viewer/tests/viewer_tests.h"
#include "viewer/viewer_doc.h"

namespace hv::viewer::test {

namespace {
std::string s(const QString& q) { return q.toLocal8Bit().toStdString(); }
QStringList filesIn(const QString& dir) { return QDir(dir).entryList(QDir::Files | QDir::Hidden); }
}  // namespace

class QueueTest : public QObject {
  Q_OBJECT
  Prompts prompts_;
  CViewerApp* app() { return CViewerApp::instance(); }
  QString queue() { return app()->queueDir(); }
  QString drawing_;

 private slots:
  void initTestCase() {
    drawing_ = dataRoot() + "queue-drawing.tif";
    QVERIFY(writeDrawing(s(drawing_), "TIFFGP4 ", 21, 400, 300));
  }
  void init() {
    prompts_.texts.clear();
    prompts_.install();
    QDir(queue()).removeRecursively();
    QVERIFY(secureQueueFolder(queue()).isEmpty());
  }
  void cleanup() {
    app()->mainFrame()->closeAllDocuments();
    QCoreApplication::processEvents();
  }

  void theQueueFolderIsCreatedOwnerOnly() {
    struct stat st;
    QCOMPARE(::stat(s(queue()).c_str(), &st), 0);
    QCOMPARE(int(st.st_mode & 0777), 0700);
  }

  void aHandOffLineIsWrittenWholeAndTakenOnce() {
    QString log = writeHandOffFile(queue(), "\"/some where/a.tif\"\t\x01");
    QVERIFY(log.endsWith(".LOG"));
    QCOMPARE(filesIn(queue()).size(), 1);
    QFile f(log);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("\"/some where/a.tif\"\r\n"));
    QCOMPARE(takeHandOffLines(queue()), QStringList({"\"/some where/a.tif\""}));
    QVERIFY(filesIn(queue()).isEmpty());
  }

  void theQueueOpensHandedOverFiles() {
    QVERIFY(!writeHandOffFile(queue(), drawing_).isEmpty());
    QCOMPARE(app()->ProcessImageQueue(), 1);
    QTRY_COMPARE(app()->mainFrame()->documentCount(), 1);
    QCOMPARE(app()->mainFrame()->activeDocument()->fileName(), QString("queue-drawing.tif"));
    QVERIFY(filesIn(queue()).isEmpty());
  }

  void aLineNamingNoReadableFileGetsOnlyTheAccessMessage() {
    QVERIFY(!writeHandOffFile(queue(), dataRoot() + "gone.tif").isEmpty());
    QCOMPARE(app()->ProcessImageQueue(), 1);
    QTRY_COMPARE(prompts_.texts.size(), 1);
    QCOMPARE(prompts_.texts.front(),
             QString("Unable to access this file during open attempt:\n\n(%1)").arg(dataRoot() + "gone.tif"));
    QCOMPARE(app()->mainFrame()->documentCount(), 0);
  }

  void aQueueFolderOthersMayWriteIsNotProcessed() {
    QString log = writeHandOffFile(queue(), drawing_);
    QVERIFY(::chmod(s(queue()).c_str(), 0777) == 0);
    QVERIFY(!secureQueueFolder(queue()).isEmpty());
    QCOMPARE(app()->ProcessImageQueue(), 1);
    QCOMPARE(app()->ProcessImageQueue(), 1);
    QTest::qWait(50);
    QCOMPARE(app()->mainFrame()->documentCount(), 0);
    QVERIFY(QFile::exists(log));
    QVERIFY(prompts_.texts.size() <= 1);
    QVERIFY(::chmod(s(queue()).c_str(), 0700) == 0);
  }

  void aQueueFolderOfAnotherUserIsRefused() {
    if (::getuid() != 0) QSKIP("needs to give the folder away");
    QVERIFY(::chown(s(queue()).c_str(), 65534, 65534) == 0);
    QVERIFY(secureQueueFolder(queue()).contains("another user"));
  }

  void aFileFromTheTemporaryFolderOpensFromItsRescuedCopy() {
    QString tmp = qEnvironmentVariable("TMPDIR") + "/browser-download.tif";
    QVERIFY(QFile::copy(drawing_, tmp) || QFile::exists(tmp));
    CViewerDoc* doc = app()->OpenCommandPath("\"" + tmp + "\"");
    QVERIFY(doc && doc->image());
    QCOMPARE(doc->directory(), app()->queueImagesDir());
    QVERIFY(QFile::exists(app()->queueImagesDir() + "browser-download.tif"));
    QFile leftOver(app()->queueImagesDir() + "left-over.tif");
    QVERIFY(leftOver.open(QIODevice::WriteOnly));
    leftOver.close();
    QVERIFY(app()->OpenCommandPath(drawing_) != nullptr);
    app()->mainFrame()->closeAllDocuments();
    QCoreApplication::processEvents();
    QVERIFY(!QFile::exists(app()->queueImagesDir() + "browser-download.tif"));
    QVERIFY(filesIn(app()->queueImagesDir()).isEmpty());
    QVERIFY(QFile::exists(tmp));
  }

  void aFailedRescueCopyOpensTheOriginal() {
    QString tmp = qEnvironmentVariable("TMPDIR") + "/cannot-copy.tif";
    QVERIFY(QFile::copy(drawing_, tmp) || QFile::exists(tmp));
    QFile blocker(app()->queueImagesDir().chopped(1));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    CViewerDoc* doc = app()->OpenCommandPath(tmp);
    QVERIFY(prompts_.saw("Copy Failed csDestPath: "));
    QVERIFY(doc && doc->image());
    QCOMPARE(doc->pathName(), tmp);
    QFile::remove(app()->queueImagesDir().chopped(1));
  }

  void aPrintRequestRunsTheCycleAndCloses() {
    CViewerDoc* doc = app()->OpenCommandPath("-print \"" + drawing_ + "\"");
    QVERIFY(doc != nullptr);
    QCOMPARE(doc->printCycle().requested, 1);
    QVERIFY(app()->mainFrame()->printTimerRunning());
    // The cycle waits ten ticks of the print timer after the print.
    QTRY_COMPARE_WITH_TIMEOUT(app()->mainFrame()->documentCount(), 0, 10000);
  }
};

QObject* makeQueueTest() { return new QueueTest; }

}  // namespace hv::viewer::test

#include "queue_test.moc"
