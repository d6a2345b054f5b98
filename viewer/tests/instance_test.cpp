// One running viewer, with real processes on a private session bus.
#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "desktop/window_bus.h"
#include "viewer/tests/drawing_files.h"
#include "viewer/tests/viewer_fixture.h"

namespace hv::viewer::test {

class InstanceTest : public QObject {
  Q_OBJECT
  QString a_, b_;
  hv::desktop::WindowBus bus_;

  QString queue() const { return QDir::homePath() + "/Halvor Viewer Image Queue/"; }
  QStringList logsInQueue() const { return QDir(queue()).entryList({"*.log", "*.LOG"}, QDir::Files); }
  QString titleOf(qint64 pid) const { return bus_.titleOf(QString("org.halvor.Window.p%1").arg(pid)); }
  bool nameOwned() const {
    return QDBusConnection::sessionBus().interface()->isServiceRegistered("org.halvor.Viewer").value();
  }

  void stop(QProcess& p) {
    if (p.state() == QProcess::NotRunning) return;
    p.terminate();
    if (!p.waitForFinished(5000)) p.kill();
    p.waitForFinished(2000);
  }

 private slots:
  void initTestCase() {
    QVERIFY(QDBusConnection::sessionBus().isConnected());
    a_ = dataRoot() + "a.tif";
    b_ = dataRoot() + "b.tif";
    QVERIFY(writeDrawing(a_.toStdString(), "TIFFGP4 ", 1, 600, 400));
    QVERIFY(writeDrawing(b_.toStdString(), "TIFFGP4 ", 2, 600, 400));
  }

  void aSecondStartOpensItsFileInTheFirstViewer() {
    QProcess first;
    first.start(VIEWER_PATH, {a_});
    QVERIFY(first.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(titleOf(first.processId()).contains("A.TIF"), 10000);
    QVERIFY(nameOwned());

    QProcess second;
    second.start(VIEWER_PATH, {b_});
    QVERIFY(second.waitForStarted());
    QVERIFY(second.waitForFinished(5000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(titleOf(first.processId()).contains("B.TIF"), 5000);
    QVERIFY(logsInQueue().isEmpty());
    QCOMPARE(first.state(), QProcess::Running);
    stop(first);
  }

  void anAtSignHandsOverAFileOnlyAsAWordOfItsOwn() {
    QTRY_VERIFY_WITH_TIMEOUT(!nameOwned(), 5000);
    const QString dir = dataRoot();
    QVERIFY(QFile::copy(a_, dir + "part@2.tif"));
    QFile sentinel(dir + "2.tif");
    QVERIFY(sentinel.open(QIODevice::WriteOnly));
    sentinel.write("must stay");
    sentinel.close();
    QFile handOff(dir + "handoff.txt");
    QVERIFY(handOff.open(QIODevice::WriteOnly));
    handOff.write("a line\r\n");
    handOff.close();

    QProcess first;
    first.setWorkingDirectory(dir);
    first.start(VIEWER_PATH, {a_});
    QVERIFY(first.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(titleOf(first.processId()).contains("A.TIF"), 10000);

    QProcess second;
    second.setWorkingDirectory(dir);
    second.start(VIEWER_PATH, {dir + "part@2.tif"});
    QVERIFY(second.waitForFinished(5000));
    QTRY_VERIFY_WITH_TIMEOUT(titleOf(first.processId()).contains("PART@2.TIF"), 5000);
    QVERIFY(QFile::exists(dir + "2.tif"));

    QProcess third;
    third.setWorkingDirectory(dir);
    third.start(VIEWER_PATH, {b_, "@handoff.txt"});
    QVERIFY(third.waitForFinished(5000));
    QTRY_VERIFY_WITH_TIMEOUT(titleOf(first.processId()).contains("B.TIF"), 5000);
    QVERIFY(!QFile::exists(dir + "handoff.txt"));
    QVERIFY(logsInQueue().isEmpty());
    stop(first);
  }

  void aSecondStartWithoutAMatchingWindowEndsSilently() {
    QTRY_VERIFY_WITH_TIMEOUT(!nameOwned(), 5000);
    QProcess qa;
    qa.start(PEER_PATH, {"Halvor QA Image Viewer", "--claim"});
    QVERIFY(qa.waitForStarted());
    QByteArray said;
    QTRY_VERIFY2_WITH_TIMEOUT((said += qa.readAllStandardOutput()).contains("ready"),
                              qPrintable(QString("peer state %1 exit %2: %3").arg(qa.state()).arg(qa.exitCode()).arg(QString(qa.readAllStandardError()))), 5000);
    QProcess other;
    other.start(PEER_PATH, {"Image of a Viewer"});
    QVERIFY(other.waitForStarted());
    QByteArray otherSaid;
    QTRY_VERIFY_WITH_TIMEOUT((otherSaid += other.readAllStandardOutput()).contains("ready"), 5000);

    QProcess second;
    second.start(VIEWER_PATH, {b_});
    QVERIFY(second.waitForStarted());
    QVERIFY(second.waitForFinished(8000));
    QCOMPARE(second.exitCode(), 0);
    QVERIFY(second.readAllStandardError().indexOf("Unable") < 0);
    QTest::qWait(200);
    QVERIFY(!(said + qa.readAllStandardOutput()).contains("received"));
    QVERIFY(!(otherSaid + other.readAllStandardOutput()).contains("received"));
    QVERIFY(logsInQueue().isEmpty());
    stop(qa);
    stop(other);
  }
};

}  // namespace hv::viewer::test

int main(int argc, char** argv) {
  QTemporaryDir root;
  hv::viewer::test::isolateEnvironment(root.path());
  QApplication app(argc, argv);
  hv::viewer::test::InstanceTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "instance_test.moc"
