// The "Send to Cardwright" toggle against a real stand-in editor process on
// the private bus: what the editor receives, and in which order.
#include <signal.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include "desktop/registered_messages.h"
#include "desktop/window_bus.h"
#include "docindex/docfiles_store.h"
#include "records/jmxholl.h"
#include "viewer/editor_link.h"
#include "viewer/main_frame.h"
#include "viewer/tests/drawing_files.h"
#include "viewer/tests/viewer_fixture.h"
#include "viewer/tests/viewer_tests.h"
#include "viewer/viewer_doc.h"

namespace hv::viewer::test {

namespace {

std::string s(const QString& q) { return q.toLocal8Bit().toStdString(); }

QString longNameFor(int n) {
  return "DRAWING-" + QString(52, 'L') + QString("%1").arg(n, 4, 10, QChar('0'));
}

}  // namespace

class EditorLinkTest : public QObject {
  Q_OBJECT
  Prompts prompts_;
  QString dir_, editorDir_, record_;
  CViewerApp* app() { return CViewerApp::instance(); }
  CMainFrame* frame() { return app()->mainFrame(); }
  EditorLink& link() { return app()->editorLink(); }

  QStringList received() const {
    QFile f(record_);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromLocal8Bit(f.readAll()).split('\n', Qt::SkipEmptyParts);
  }
  QString reference(int index) const { return dir_ + jmxholl_GetJmxHollFileBase() + "#" + QString::number(index); }

  // Ends the editor the viewer started (found by its bus name) or ours.
  void stopEditors() {
    for (int i = 0; i < 20; ++i) {
      const QString service = link().findEditor();
      if (service.isEmpty()) return;
      const qint64 pid = service.mid(int(qstrlen(hv::desktop::kWindowServicePrefix))).toLongLong();
      if (pid > 0) ::kill(pid_t(pid), SIGTERM);
      QTest::qWait(200);
    }
  }

 private slots:
  void initTestCase() {
    dir_ = dataRoot() + "jedmics/";
    QVERIFY(QDir().mkpath(dir_));
    for (int n = 1; n <= 2; ++n) {
      const QString shortName = QString("OPTI%1.TIF").arg(n, 4, 10, QChar('0'));
      QVERIFY(writeDrawing(s(dir_ + shortName), "TIFFGP4 ", unsigned(60 + n), 500, 400));
      QCOMPARE(hv::docindex::appendRecord(s(dir_), s(longNameFor(n)), s(shortName), 'A'), hv::Status::Ok);
      JedmicsHollRec jmx;
      QCOMPARE(jmxholl_InitRecord(&jmx), 1);
      QCOMPARE(jmxholl_WriteJmxRec(s(dir_).c_str(), &jmx, n), 1);
    }
    QVERIFY(QDir().mkpath(dataRoot() + "plain"));
    QVERIFY(writeDrawing(s(dataRoot() + "plain/PLAIN.TIF"), "TIFFGP4 ", 70, 500, 400));
    // The editor program is the CardwrightPath folder's "Cardwright.Exe".
    editorDir_ = dataRoot() + "editor/";
    QVERIFY(QDir().mkpath(editorDir_));
    QVERIFY(QFile::link(EDITOR_PEER_PATH, editorDir_ + "Cardwright.Exe"));
    app()->settings().write(keys::CardwrightPath, editorDir_);
    record_ = dataRoot() + "editor-record.txt";
    qputenv("HV_EDITOR_RECORD", record_.toLocal8Bit());
  }
  void init() {
    prompts_.texts.clear();
    prompts_.install();
    QFile::remove(record_);
    link().setSendEnabled(false);
  }
  void cleanup() {
    frame()->closeAllDocuments();
    QCoreApplication::processEvents();
    stopEditors();
    link().setSendEnabled(false);
  }

  void theToolBarCommandTogglesSending() {
    QAction* toggle = frame()->commands().action("jedmics.send");
    QVERIFY(toggle && toggle->isCheckable());
    QVERIFY(frame()->commands().run("jedmics.send"));
    QVERIFY(link().sendEnabled());
    QVERIFY(toggle->isChecked());
    QVERIFY(frame()->commands().run("jedmics.send"));
    QVERIFY(!link().sendEnabled());
    QVERIFY(!toggle->isChecked());
  }

  void withTheToggleOffNothingIsSentOrStarted() {
    CViewerDoc* doc = app()->OpenCommandPath(dir_ + longNameFor(1));
    QVERIFY(doc && doc->image());
    QCOMPARE(doc->jedmicsReference(), reference(0));
    QTest::qWait(500);
    QVERIFY(link().findEditor().isEmpty());
    QVERIFY(received().isEmpty());

    // A running editor hears nothing either, apart from the flush before the
    // image changes.
    QProcess editor;
    editor.start(EDITOR_PEER_PATH, {});
    QVERIFY(editor.waitForStarted() && editor.waitForReadyRead(5000));
    QCOMPARE(doc->StepToNeighbour(), 1);
    QTRY_COMPARE(received(), QStringList{"flush"});
    editor.terminate();
    QVERIFY(editor.waitForFinished(5000));
  }

  void anAbsentEditorIsStartedWithTheReference() {
    link().setSendEnabled(true);
    CViewerDoc* doc = app()->OpenCommandPath(dir_ + longNameFor(1));
    QVERIFY(doc && doc->image());
    // The look-ups after the start found the editor's window.
    QVERIFY(!link().findEditor().isEmpty());
    QTRY_COMPARE(received(), QStringList{"start " + reference(0)});
  }

  void aRunningEditorGetsTheReferenceAndTheFlushComesBeforeTheImageChanges() {
    QProcess editor;
    editor.start(EDITOR_PEER_PATH, {});
    QVERIFY(editor.waitForStarted() && editor.waitForReadyRead(5000));
    link().setSendEnabled(true);
    CViewerDoc* doc = app()->OpenCommandPath(dir_ + longNameFor(1));
    QVERIFY(doc && doc->image());
    QCOMPARE(received(), QStringList{"change " + reference(0)});
    // The folder's other drawing, whichever side of the list it is on.
    QCOMPARE(doc->StepToNeighbour(), 1);
    QCOMPARE(doc->fileName(), QString("OPTI0002.TIF"));
    QCOMPARE(received(), (QStringList{"change " + reference(0), "flush", "change " + reference(1)}));
    // A drawing without a record sends nothing, and leaving it flushes nothing.
    CViewerDoc* plain = app()->OpenCommandPath(dataRoot() + "plain/PLAIN.TIF");
    QVERIFY(plain && plain->image() && plain->jedmicsReference().isEmpty());
    plain->OnReload();
    QCOMPARE(received().size(), 3);
    editor.terminate();
    QVERIFY(editor.waitForFinished(5000));
  }

  void anEmptyEditorFolderIsReported() {
    link().setSendEnabled(true);
    app()->settings().write(keys::CardwrightPath, QString());
    if (!link().editorProgram().isEmpty()) {
      app()->settings().write(keys::CardwrightPath, editorDir_);
      QSKIP("an empty editor folder reads back as its default");
    }
    CViewerDoc* doc = app()->OpenCommandPath(dir_ + longNameFor(1));
    app()->settings().write(keys::CardwrightPath, editorDir_);
    QVERIFY(doc && doc->image());
    QVERIFY(prompts_.saw("Unable to locate JEDMICS Editor Path -- Please set it in your Preferences."));
    QVERIFY(received().isEmpty());
  }
};

QObject* makeEditorLinkTest() { return new EditorLinkTest; }

}  // namespace hv::viewer::test

#include "editor_link_test.moc"
