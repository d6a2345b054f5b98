// Files that are not drawings, handed to the desktop's programs: the default
// application of the file's type, and the PDF reader for a PDF of an alias
// folder. Stand-in programs record the arguments they were started with.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include "viewer/main_frame.h"
#include "viewer/tests/viewer_fixture.h"
#include "viewer/tests/viewer_tests.h"
#include "viewer/viewer_doc.h"

namespace hv::viewer::test {

class LaunchTest : public QObject {
  Q_OBJECT
  Prompts prompts_;
  QString dir_;
  CViewerApp* app() { return CViewerApp::instance(); }

  // A program that writes its arguments, one a line, to NAME.args.
  QString recorder(const QString& name) {
    const QString program = dir_ + name;
    QFile f(program);
    if (!f.open(QIODevice::WriteOnly)) return {};
    f.write(QString("#!/bin/sh\nprintf '%s\\n' \"$@\" > '%1.part' && mv '%1.part' '%1.args'\n")
                .arg(dir_ + name)
                .toUtf8());
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return program;
  }
  QStringList recorded(const QString& name) {
    QFile f(dir_ + name + ".args");
    for (int i = 0; i < 250 && !f.exists(); ++i) QTest::qWait(20);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromLocal8Bit(f.readAll()).split('\n', Qt::SkipEmptyParts);
  }
  QString write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return {};
    f.write(bytes);
    return path;
  }

 private slots:
  void initTestCase() {
    dir_ = dataRoot() + "launch/";
    QVERIFY(QDir().mkpath(dir_));
    // Comma-separated text opens with the stand-in in this test's desktop (by
    // name it is text/csv; xdg-open may see plain text in it).
    const QString program = recorder("sheet");
    const QString home = qEnvironmentVariable("XDG_DATA_HOME");
    QVERIFY(!write(home + "/applications/hv-sheet.desktop",
                   QString("[Desktop Entry]\nType=Application\nName=Sheet\nExec=%1 %f\nMimeType=text/csv;text/plain;\n")
                       .arg(program)
                       .toUtf8())
                 .isEmpty());
    QVERIFY(!write(qEnvironmentVariable("XDG_CONFIG_HOME") + "/mimeapps.list",
                   "[Default Applications]\ntext/csv=hv-sheet.desktop\ntext/plain=hv-sheet.desktop\n")
                 .isEmpty());
  }
  void cleanupTestCase() {
    QFile::remove(qEnvironmentVariable("XDG_CONFIG_HOME") + "/mimeapps.list");
  }
  void cleanup() {
    app()->mainFrame()->closeAllDocuments();
    QCoreApplication::processEvents();
  }
  void init() {
    prompts_.texts.clear();
    prompts_.install();
  }

  void aFileOfAnAssociatedTypeGoesToItsProgram() {
    const QString path = write(dir_ + "parts list.csv", "part,count\nbolt,12\n");
    QVERIFY(app()->IsAssociated(path));
    CViewerDoc* doc = app()->OpenCommandPath(path);
    QVERIFY(doc != nullptr);
    QCOMPARE(doc->title(), QString("parts list.csv (File Extension Autolaunched Attempted)"));
    QVERIFY(prompts_.texts.isEmpty());
  }

  void aPdfOfAnAliasFolderGoesToTheReaderOnlyWhenAutoLaunchIsOn() {
    const QString path = write(dir_ + "SET.ALS/manual.pdf", "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n1 0 obj\n<<>>\nendobj\n");
    app()->values().pdfViewer = recorder("reader");
    app()->values().autoLaunchPDF = 0;
    CViewerDoc* doc = app()->OpenCommandPath(path);
    QVERIFY(doc != nullptr);
    QVERIFY(prompts_.saw("Adobe Acrobat File Found <Autolaunch is turned off>"));
    QTest::qWait(300);
    QVERIFY(!QFile::exists(dir_ + "reader.args"));

    app()->values().autoLaunchPDF = 1;
    doc = app()->OpenCommandPath(path);
    QVERIFY(doc != nullptr);
    QCOMPARE(doc->title(), QString("manual.pdf - See Adobe Acrobat Reader"));
    QCOMPARE(recorded("reader"), QStringList{path});
    QCOMPARE(app()->mainFrame()->statusText(), QString("Image was sent to Adobe Acrobat Reader"));
    app()->values().autoLaunchPDF = 0;
  }
};

QObject* makeLaunchTest() { return new LaunchTest; }

}  // namespace hv::viewer::test

#include "launch_test.moc"
