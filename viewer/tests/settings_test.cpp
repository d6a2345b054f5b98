// Settings: the empty-store defaults, stored lists, unreadable values and the
// Preferences confirmation.
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "viewer/preferences_dialog.h"
#include "viewer/tests/viewer_fixture.h"
#include "viewer/tests/viewer_tests.h"

namespace hv::viewer::test {

class SettingsTest : public QObject {
  Q_OBJECT
  QTemporaryDir dir_;
  QString ini() const { return dir_.filePath("settings.ini"); }
  std::unique_ptr<CViewerSettings> fresh() {
    QFile::remove(ini());
    auto s = std::make_unique<CViewerSettings>(ini());
    s->setViewerDir("/opt/viewer/");
    s->setQueueDir("/home/u/Halvor Viewer Image Queue/");
    return s;
  }

 private slots:
  void anEmptyStoreGivesTheDefaults() {
    auto s = fresh();
    ViewerSettingsValues v = s->loadAll();
    QCOMPARE(v.typeCheckImages, 1);
    QCOMPARE(v.deleteAsksToConfirm, 1);
    QCOMPARE(v.stampDateTimeOnPrint, 1);
    QCOMPARE(v.saveAlignWidth, 8);
    QCOMPARE(v.saveAlignHeight, 8);
    QCOMPARE(v.fileListSort, 0);
    QCOMPARE(v.embedded.pageCount, 4);
    QCOMPARE(v.embedded.sheetWidth, 8.5);
    QCOMPARE(v.embedded.sheetHeight, 11.0);
    QCOMPARE(v.embedded.gridUnit, 0.5);
    for (const QString& folder : {v.initialPath, v.blipPath, v.cardwrightPath, v.tempDirPath})
      QCOMPARE(folder, QString("/opt/viewer/"));
    QCOMPARE(s->read(keys::RotateForBestFit), 1);
    QCOMPARE(s->read(keys::FileSelectionFilters), QString("All Files (*.*)|*.*||"));
    QVERIFY(v.invertedPrinters.isEmpty());
  }

  void storedValuesThatAreNoNumbersReadAsTheDefault() {
    auto s = fresh();
    s->writeString(kAppSection, "TypeCheckImages", "yes please");
    s->writeString(kAppSection, "SaveAlignWidth", "");
    s->writeString(kAppSection, "FileListSort", "7");
    s->writeString(kAppSection, "StampDateTimeOnPrint", "5");
    s->writeString(kEmbeddedSection, "SheetWidth", "wide");
    ViewerSettingsValues v = s->loadAll();
    QCOMPARE(v.typeCheckImages, 1);
    QCOMPARE(v.saveAlignWidth, 8);
    QCOMPARE(v.fileListSort, 0);
    QCOMPARE(v.stampDateTimeOnPrint, 1);
    QCOMPARE(v.embedded.sheetWidth, 8.5);
    s->write(keys::ShowMarkQAD, 65537);
    QCOMPARE(s->read(keys::ShowMarkQAD), 1);
  }

  void aShorterListClearsTheOldEntries() {
    auto s = fresh();
    s->saveList(kInvertedPrintersSection, kInvertedPrintersList, {"a", "b", "c", "d", "e"});
    s->saveList(kInvertedPrintersSection, kInvertedPrintersList, {"x", "y"});
    QCOMPARE(s->readInt(kInvertedPrintersSection, "IPL_Counter", -1), 2);
    QCOMPARE(s->readString(kInvertedPrintersSection, "IPL_1", "?"), QString("y"));
    for (int i = 2; i < 5; ++i)
      QCOMPARE(s->readString(kInvertedPrintersSection, QString("IPL_%1").arg(i), "?"), QString());
    QCOMPARE(s->loadList(kInvertedPrintersSection, kInvertedPrintersList), QStringList({"x", "y"}));
    // Empty entries and a count beyond the entries are skipped.
    s->writeInt(kInvertedPrintersSection, "IPL_Counter", 6);
    s->writeString(kInvertedPrintersSection, "IPL_0", "");
    QCOMPARE(s->loadList(kInvertedPrintersSection, kInvertedPrintersList), QStringList({"y"}));
  }

  void preferencesStopAtAFileGivenAsTheQueueFolder() {
    Prompts prompts;
    prompts.install();
    auto s = fresh();
    QString base = dir_.filePath("prefs/");
    QDir().mkpath(base);
    QFile file(base + "queue-file");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    CPreferencesDialog dialog(*s);
    dialog.findChild<QLineEdit*>("InitialPath")->setText(base + "initial/");
    dialog.findChild<QLineEdit*>("TempDirPath")->setText(base + "temp/");
    dialog.findChild<QLineEdit*>("PDFViewer")->setText("");
    dialog.findChild<QLineEdit*>("WEBJEDMICSImageQueue")->setText(base + "queue-file");
    dialog.findChild<QLineEdit*>("BatchPrintPath")->setText(base + "batch/");
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(prompts.texts, QStringList({"Unable to verify WEBJEDMICS Image Queue:  " + base + "queue-file"}));
    QCOMPARE(s->read(keys::InitialPath), base + "initial/");
    QVERIFY(QFileInfo(base + "initial").isDir());
    QCOMPARE(s->read(keys::TempDirPath), base + "temp/");
    QCOMPARE(s->readString(kAppSection, "BatchPrintPath", "unset"), QString("unset"));
    QVERIFY(!QFileInfo::exists(base + "batch"));
  }

  void preferencesReportAnInitialPathThatIsNoFolder() {
    Prompts prompts;
    prompts.install();
    auto s = fresh();
    QString base = dir_.filePath("prefs2/");
    QDir().mkpath(base);
    QFile file(base + "plain");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    PreferencesInput in;
    in.initialPath = base + "plain";
    in.tempDirPath = base + "t";
    QVERIFY(!applyPreferences(in, *s, nullptr, nullptr));
    QCOMPARE(prompts.texts, QStringList({"The Initial Image Path cannot be verified."}));
    QCOMPARE(s->read(keys::TypeCheckImages), 1);
    QCOMPARE(s->readString(kAppSection, "TempDirPath", "unset"), QString("unset"));
  }
};

QObject* makeSettingsTest() { return new SettingsTest; }

}  // namespace hv::viewer::test

#include "settings_test.moc"
