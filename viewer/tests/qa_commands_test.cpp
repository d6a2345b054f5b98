// The QA commands after the folder choice, and the QA lock in the delete
// command's enablement, on the running viewer.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTest>
#include <QTimer>
#include <functional>

#include "viewer/deletion_commands.h"
#include "viewer/main_frame.h"
#include "viewer/qa_commands.h"
#include "viewer/tests/deletion_support.h"
#include "viewer/tests/deletion_tests.h"
#include "viewer/tests/drawing_files.h"
#include "viewer/tests/viewer_fixture.h"
#include "viewer/viewer_app.h"
#include "viewer/viewer_doc.h"

namespace hv::viewer::test {

namespace {

std::string s(const QString& q) { return q.toLocal8Bit().toStdString(); }

QString freshFolder(const QString& name) {
  QString dir = dataRoot() + name + "/";
  QDir(dir).removeRecursively();
  QDir().mkpath(dir);
  return dir;
}

CViewerApp* app() { return CViewerApp::instance(); }

// By the permission bits: the tests may run as the superuser.
bool readOnly(const QString& path) {
  const auto write = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
  return QFile::exists(path) && (QFile::permissions(path) & write) == 0;
}

// Runs action on the file dialog once it is shown modally.
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

class QaCommandsTest : public QObject {
  Q_OBJECT
  Prompts prompts_;

  bool deleteEnabled() {
    app()->mainFrame()->refreshTools();
    QAction* a = app()->mainFrame()->commands().action("file.deleteActive");
    return a != nullptr && a->isEnabled();
  }

 private slots:
  void init() {
    prompts_ = Prompts{};
    prompts_.install();
  }
  void cleanup() { app()->mainFrame()->closeAllDocuments(); }

  void afterMarkQaCompleteEveryImageIsLockedAndDeleteDisabled() {
    QString dir = freshFolder("qa-complete");
    QVERIFY(writeDrawing(s(dir + "a.tif"), "TIFFGP4 ", 1, 400, 300));
    QVERIFY(writeDrawing(s(dir + "b.tif"), "TIFFGP4 ", 2, 400, 300));
    QVERIFY(writeFile(s(dir + "JMX.HOL"), "") && writeFile(s(dir + "OPTI0001.TIF")));
    CViewerDoc* doc = app()->OpenCommandPath(dir + "a.tif");
    QVERIFY(doc && doc->image());
    QVERIFY(!isDocumentQaLocked(*doc));
    QVERIFY(deleteEnabled());

    FramePrompts prompts(app()->mainFrame());
    QVERIFY(runMarkQaComplete(prompts, s(dir)));
    QVERIFY(prompts_.saw("Are you sure you wish to mark the job in " + dir + " as being QA Complete?"));
    QVERIFY(QFile::exists(dir + "COMPLETE.QA"));
    QVERIFY(readOnly(dir + "JMX.HOL") && readOnly(dir + "OPTI0001.TIF") && !readOnly(dir + "b.tif"));
    QVERIFY(isDocumentQaLocked(*doc));
    QVERIFY(!deleteEnabled());
    CViewerDoc* other = app()->OpenCommandPath(dir + "b.tif");
    QVERIFY(other && other->image());
    QVERIFY(isDocumentQaLocked(*other));
    QVERIFY(!deleteEnabled());
  }

  void markQaCompleteStopsOnACancelledBrowserAFileOrNo() {
    QString dir = freshFolder("qa-declined");
    QVERIFY(writeFile(s(dir + "a.tif")));
    ScriptedPrompts prompts;
    QVERIFY(!runMarkQaComplete(prompts, std::nullopt));
    QVERIFY(prompts.asked.empty());
    QVERIFY(!runMarkQaComplete(prompts, s(dir + "a.tif")));
    QCOMPARE(prompts.last(), std::string("A valid folder was not chosen for QA complete."));
    prompts.script = {PromptAnswer::No};
    QVERIFY(!runMarkQaComplete(prompts, s(dir)));
    QVERIFY(!QFile::exists(dir + "COMPLETE.QA"));
  }

  void cleanupRemovesTheWorkFilesOfTheFolderOnly() {
    QString dir = freshFolder("qa-cleanup");
    QDir().mkpath(dir + "sub");
    for (const char* name : {"x.OVL", "y.bak", "z.Tg4", "keep.tif", "sub/w.OVL"}) QVERIFY(writeFile(s(dir + name)));
    ScriptedPrompts prompts;
    prompts.script = {PromptAnswer::No};
    QVERIFY(!runQaCleanup(prompts, s(dir)));
    QCOMPARE(prompts.last(), "Are you sure you wish to cleanup this directory " + s(dir) + "?");
    QVERIFY(QFile::exists(dir + "x.OVL"));

    QVERIFY(runQaCleanup(prompts, s(dir)));
    QCOMPARE(prompts.statuses, (std::vector<std::string>{"Removing:  " + s(dir) + "*.OVL", "Removing:  " + s(dir) + "*.BAK",
                                                          "Removing:  " + s(dir) + "*.TG4",
                                                          "Completed Removal of OVL,BAK and TG4 files"}));
    QCOMPARE(QDir(dir).entryList(QDir::Files), QStringList{"keep.tif"});
    QVERIFY(QFile::exists(dir + "sub/w.OVL"));
    QVERIFY(!runQaCleanup(prompts, s(dir + "missing")));
    QCOMPARE(prompts.last(), std::string("A valid folder was not chosen for QA cleanup."));
  }

  void theDeleteDialogDeletesTheChosenFiles() {
    QString dir = freshFolder("delete-dialog");
    for (const char* name : {"one.tif", "two.tif", "three.tif"}) QVERIFY(writeFile(s(dir + name)));
    QString title;
    whenDialogShows([dir, &title](QFileDialog* d) {
      title = d->windowTitle();
      d->setDirectory(dir);
      d->selectFile("\"one.tif\" \"three.tif\"");
      QMetaObject::invokeMethod(d, "accept");
    });
    std::optional<QString> folder = DeleteSelectedObjects(*app()->mainFrame(), dir);
    QCOMPARE(title, QString("Delete File(s)"));
    QVERIFY(prompts_.saw("Do you wish to continue with deletion of these 2 object(s)?"));
    QVERIFY(!QFile::exists(dir + "one.tif") && !QFile::exists(dir + "three.tif"));
    QVERIFY(QFile::exists(dir + "two.tif"));
    QVERIFY(folder.has_value());
    QCOMPARE(QDir(*folder).absolutePath(), QDir(dir).absolutePath());
    QCOMPARE(app()->mainFrame()->statusText(), QString("Ready"));

    // A cancelled dialog deletes nothing and asks nothing.
    prompts_.texts.clear();
    whenDialogShows([](QFileDialog* d) { d->reject(); });
    QVERIFY(!DeleteSelectedObjects(*app()->mainFrame(), dir).has_value());
    QVERIFY(prompts_.texts.isEmpty() && QFile::exists(dir + "two.tif"));
  }

  void deletingTheActiveImageMovesToItsNeighbour() {
    QString dir = freshFolder("delete-active");
    QVERIFY(writeDrawing(s(dir + "a.tif"), "TIFFGP4 ", 3, 400, 300));
    QVERIFY(writeDrawing(s(dir + "b.tif"), "TIFFGP4 ", 4, 400, 300));
    CViewerDoc* doc = app()->OpenCommandPath(dir + "a.tif");
    QVERIFY(doc && doc->image());
    QVERIFY(deleteEnabled());
    app()->mainFrame()->commands().run("file.deleteActive");
    QVERIFY(prompts_.saw("Are you sure you want to delete\n\n        " + dir + "a.tif ?"));
    QVERIFY(!QFile::exists(dir + "a.tif"));
    QCOMPARE(app()->mainFrame()->activeDocument(), doc);
    QCOMPARE(doc->fileName(), QString("b.tif"));
    QVERIFY(doc->image() != nullptr);

    // The last image of the folder: the document closes.
    app()->mainFrame()->commands().run("file.deleteActive");
    QVERIFY(!QFile::exists(dir + "b.tif"));
    QTRY_COMPARE(app()->mainFrame()->documentCount(), 0);
  }
};

}  // namespace

QObject* makeQaCommandsTest() { return new QaCommandsTest; }

}  // namespace hv::viewer::test

#include "qa_commands_test.moc"
