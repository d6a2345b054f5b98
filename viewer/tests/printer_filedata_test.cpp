// The Printer Settings dialog and its stored lists, and the FILEDATA file.
#include <sys/stat.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTest>

#include "docindex/docfiles_store.h"
#include "platform/atomic_file.h"
#include "platform/exe_dir.h"
#include "viewer/filedata_command.h"
#include "viewer/main_frame.h"
#include "viewer/printer_settings_dialog.h"
#include "viewer/tests/batch_print_support.h"
#include "viewer/tests/batch_print_tests.h"
#include "viewer/tests/drawing_files.h"
#include "viewer/tests/viewer_fixture.h"

namespace hv::viewer::test {

namespace {

CViewerApp* app() { return CViewerApp::instance(); }

int failRename(hv::platform::RewriteStep step, void*) {
  return step == hv::platform::RewriteStep::Rename ? ENOSPC : 0;
}

}  // namespace

class PrinterFileDataTest : public QObject {
  Q_OBJECT
  Prompts prompts_;

 private slots:
  void init() {
    prompts_ = Prompts{};
    prompts_.install();
  }

  void noPrintersIsSaid() {
    QVERIFY(!runPrinterSettings(app()->mainFrame(), *app(), {}, {}));
    QCOMPARE(prompts_.texts, QStringList{"There are no printers installed on the system.  "});
  }

  // The shorter list replaces the longer one without stale entries; the
  // chosen printer becomes "Default Printer Name" and the current printer.
  void savesTheChosenPrinterAndTheInvertedList() {
    CViewerSettings& st = app()->settings();
    st.saveList("Inverted Bit Printers", "IPL", {"Old0", "Beta", "Old2", "Old3", "Old4"});
    st.write(keys::DefaultPrinterName, QString());
    app()->setCurrentPrinter(QString());
    QString preselected, systemShown;
    QStringList offered;
    whenModalShows<CPrinterSettingsDialog>([&](CPrinterSettingsDialog* d) {
      auto* printer = d->findChild<QComboBox*>("defaultPrinter");
      preselected = printer->currentText();
      systemShown = d->findChild<QLabel*>("systemDefaultPrinter")->text();
      auto* list = d->findChild<QListWidget*>("invertedPrinters");
      for (int i = 0; i < list->count(); ++i) {
        QListWidgetItem* item = list->item(i);
        offered << item->text() + (item->checkState() == Qt::Checked ? "+" : "");
        const bool want = item->text() == "Alpha" || item->text() == "Gamma";
        item->setCheckState(want ? Qt::Checked : Qt::Unchecked);
      }
      printer->setCurrentIndex(printer->findText("Gamma"));
      d->accept();
    });
    QVERIFY(runPrinterSettings(app()->mainFrame(), *app(), {"Alpha", "Beta", "Gamma"}, "Beta"));
    QCOMPARE(preselected, QString("Beta"));
    QCOMPARE(systemShown, QString("Beta"));
    // Stored names no longer installed are offered too, so none is lost unseen.
    QCOMPARE(offered, (QStringList{"Alpha", "Beta+", "Gamma", "Old0+", "Old2+", "Old3+", "Old4+"}));

    QCOMPARE(st.read(keys::DefaultPrinterName), QString("Gamma"));
    QCOMPARE(app()->currentPrinter(), QString("Gamma"));
    QCOMPARE(st.readInt("Inverted Bit Printers", "IPL_Counter", -1), 2);
    QCOMPARE(st.readString("Inverted Bit Printers", "IPL_0", "?"), QString("Alpha"));
    QCOMPARE(st.readString("Inverted Bit Printers", "IPL_1", "?"), QString("Gamma"));
    for (int i = 2; i < 5; ++i)
      QCOMPARE(st.readString("Inverted Bit Printers", QString("IPL_%1").arg(i), "?"), QString());
    QCOMPARE(app()->values().invertedPrinters, (QStringList{"Alpha", "Gamma"}));

    // The printer chosen last is preselected next time.
    whenModalShows<CPrinterSettingsDialog>([&](CPrinterSettingsDialog* d) {
      preselected = d->findChild<QComboBox*>("defaultPrinter")->currentText();
    });
    QVERIFY(!runPrinterSettings(app()->mainFrame(), *app(), {"Alpha", "Beta", "Gamma"}, "Beta"));
    QCOMPARE(preselected, QString("Gamma"));
  }

  // Each addition is one more line; the lines already there stay byte for byte.
  void fileDataAppendsOneLineEachTime() {
    const QString folder = freshFolder("filedata");
    const QByteArray old = QByteArray("earlier^/x/earlier.tif\r\n") + QByteArray(70000, 'z') + "\r\n";
    QVERIFY(writeAll(fileDataPath(folder), old));
    QVERIFY(appendToFileData(folder, "/drawings/a.tif"));
    QVERIFY(appendToFileData(folder, "/drawings/a.tif"));
    QCOMPARE(readAll(fileDataPath(folder)), old + "a.tif^/drawings/a.tif\r\na.tif^/drawings/a.tif\r\n");
  }

  // A drawing kept under a short name is added with its long name.
  void fileDataUsesTheLongName() {
    const QString folder = freshFolder("filedata-long");
    const QString images = freshFolder("indexed");
    QVERIFY(writeAll(images + "OPTI0001.TIF", "x"));
    QCOMPARE(hv::docindex::appendRecord(s(images), "PUMP HOUSING SHEET 2", "OPTI0001.TIF", 'W'), hv::Status::Ok);
    QVERIFY(appendToFileData(folder, images + "OPTI0001.TIF"));
    QCOMPARE(readAll(fileDataPath(folder)),
             ("PUMP HOUSING SHEET 2^" + images + "OPTI0001.TIF\r\n").toLocal8Bit());
  }

  // A write that cannot complete leaves the old file as it was; a FIFO in
  // the file's place is never opened for writing or reading.
  void failedAppendKeepsTheOldFile() {
    const QString folder = freshFolder("filedata-fail");
    QVERIFY(writeAll(fileDataPath(folder), "kept^/k.tif\r\n"));
    hv::platform::setRewriteFaultHook(failRename, nullptr);
    const bool written = appendToFileData(folder, "/drawings/b.tif");
    hv::platform::setRewriteFaultHook(nullptr, nullptr);
    QVERIFY(!written);
    QCOMPARE(readAll(fileDataPath(folder)), QByteArray("kept^/k.tif\r\n"));
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"FILEDATA.TXT"});

    const QString fifoFolder = freshFolder("filedata-fifo");
    QCOMPARE(::mkfifo(s(fileDataPath(fifoFolder)).c_str(), 0600), 0);
    QVERIFY(!appendToFileData(fifoFolder, "/drawings/b.tif"));
  }

  // The command adds the active image to FILEDATA.TXT beside the program,
  // silently; without an image it is disabled.
  void commandAddsTheActiveImage() {
    CMainFrame* frame = app()->mainFrame();
    frame->refreshTools();
    QVERIFY(!frame->commands().action("batch.filedata")->isEnabled());
    const QString folder = freshFolder("filedata-command");
    QVERIFY(writeDrawing(s(folder + "pump.tif"), "TIFFGP4 ", 4, 300, 200));
    QVERIFY(app()->OpenDocumentFile(folder + "pump.tif"));
    const QString target = fileDataPath(QString::fromStdString(hv::platform::executableDir()));
    const QByteArray before = readAll(target);
    const bool existed = QFile::exists(target);
    QVERIFY(frame->commands().run("batch.filedata"));
    QVERIFY(frame->commands().run("batch.filedata"));
    const QByteArray after = readAll(target);
    if (existed)
      QVERIFY(writeAll(target, before));
    else
      QFile::remove(target);
    QCOMPARE(after, before + ("pump.tif^" + folder + "pump.tif\r\n").toLocal8Bit().repeated(2));
    QVERIFY(prompts_.texts.isEmpty());
    frame->closeAllDocuments();
    QCoreApplication::processEvents();
  }
};

QObject* makePrinterFileDataTest() { return new PrinterFileDataTest; }

}  // namespace hv::viewer::test

#include "printer_filedata_test.moc"
