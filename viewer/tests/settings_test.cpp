// Settings: the empty-store defaults, stored lists, unreadable values and the
// Preferences confirmation.
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QSpinBox>
#include <QCheckBox>
#include <QTemporaryDir>
#include <QTest>

#include "viewer/preferences_dialog.h"
#include "viewer/tests/viewer_fixture.h"
#include "viewer/tests/viewer_tests.h"

namespace hv::viewer::test {

class SettingsTest : public QObject {
  Q_OBJECT
  QTemporaryDir dir_;
  Prompts prompts_;
  QString ini() const { return dir_.filePath("settings.ini"); }
  std::unique_ptr<CViewerSettings> fresh() {
    QFile::remove(ini());
    auto s = std::make_unique<CViewerSettings>(ini());
    s->setViewerDir("/opt/viewer/");
    s->setQueueDir("/home/u/Halvor Viewer Image Queue/");
    return s;
  }
  // A new folder `folder` of the test's directory holding an empty file
  // `file`; the folder's path, ending with '/', or empty when it cannot be made.
  QString folderWithEmptyFile(const QString& folder, const QString& file) {
    const QString base = dir_.filePath(folder + "/");
    QDir().mkpath(base);
    QFile f(base + file);
    return f.open(QIODevice::WriteOnly) ? base : QString();
  }
  // Fills the dialog's four folders with base + the field's name + "/" and
  // leaves the PDF viewer empty.
  static void fillFolders(CPreferencesDialog& dialog, const QString& base) {
    for (const char* name : {"InitialPath", "TempDirPath", "WEBJEDMICSImageQueue", "BatchPrintPath"})
      dialog.findChild<QLineEdit*>(name)->setText(base + name + "/");
    dialog.findChild<QLineEdit*>("PDFViewer")->setText("");
  }

 private slots:
  void init() {
    prompts_.texts.clear();
    prompts_.install();
  }

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
    auto s = fresh();
    const QString base = folderWithEmptyFile("prefs", "queue-file");
    QVERIFY(!base.isEmpty());
    CPreferencesDialog dialog(*s);
    fillFolders(dialog, base);
    dialog.findChild<QLineEdit*>("WEBJEDMICSImageQueue")->setText(base + "queue-file");
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(prompts_.texts, QStringList({"Unable to verify WEBJEDMICS Image Queue:  " + base + "queue-file"}));
    QCOMPARE(s->read(keys::InitialPath), base + "InitialPath/");
    QVERIFY(QFileInfo(base + "InitialPath").isDir());
    QCOMPARE(s->read(keys::TempDirPath), base + "TempDirPath/");
    QCOMPARE(s->readString(kAppSection, "BatchPrintPath", "unset"), QString("unset"));
    QVERIFY(!QFileInfo::exists(base + "BatchPrintPath"));
    QCOMPARE(s->readString(kEmbeddedSection, "PageCount", "unset"), QString("unset"));
  }

  void preferencesWriteTheEmbeddedSheetOptions() {
    auto s = fresh();
    QString base = dir_.filePath("prefs3/");
    CPreferencesDialog dialog(*s);
    QCOMPARE(dialog.findChild<QLineEdit*>("GridUnit")->text(), QString("0.5"));
    fillFolders(dialog, base);
    dialog.findChild<QSpinBox*>("PageCount")->setValue(7);
    dialog.findChild<QLineEdit*>("SheetWidth")->setText("34");
    dialog.findChild<QLineEdit*>("SheetHeight")->setText("22.25");
    dialog.findChild<QLineEdit*>("GridUnit")->setText(".25");
    dialog.findChild<QCheckBox*>("PopupEmbedInfoWhenExtracting")->setChecked(false);
    dialog.findChild<QCheckBox*>("SnapToGrid")->setChecked(true);
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(prompts_.texts.isEmpty());
    EmbeddedSheetOptions o = s->loadEmbedded();
    QCOMPARE(o.pageCount, 7);
    QCOMPARE(o.sheetWidth, 34.0);
    QCOMPARE(o.sheetHeight, 22.25);
    QCOMPARE(o.gridUnit, 0.25);
    QCOMPARE(o.popupInfo, 0);
    QCOMPARE(o.snapToGrid, 1);
    QCOMPARE(s->readString(kEmbeddedSection, "SheetHeight", ""), QString("22.25"));
  }

  void preferencesStopAtASheetSizeThatIsNoNumber() {
    auto s = fresh();
    PreferencesInput in;
    in.batchPrintPath = dir_.filePath("prefs4/batch/");
    in.embedded = EmbeddedSheetInput{};
    in.embedded->pageCount = 9;
    in.embedded->sheetHeight = "0";
    ViewerSettingsValues running;
    QVERIFY(!applyPreferences(in, *s, &running, nullptr));
    QCOMPARE(prompts_.texts,
             QStringList({"The Sheet Height must be a number of inches greater than zero:  0"}));
    // Everything before the sheet options stays written; none of them is.
    QCOMPARE(s->read(keys::BatchPrintPath), in.batchPrintPath);
    QCOMPARE(s->readString(kEmbeddedSection, "PageCount", "unset"), QString("unset"));
    QCOMPARE(running.embedded.pageCount, 4);
  }

  void sheetSizesAreDecimalInchesAboveZero() {
    QCOMPARE(parseInches("8.5"), std::optional<double>(8.5));
    QCOMPARE(parseInches(".5"), std::optional<double>(0.5));
    QCOMPARE(parseInches(" 11 "), std::optional<double>(11.0));
    QCOMPARE(parseInches("3."), std::optional<double>(3.0));
    for (const char* bad : {"", "0", "0.0", "-1", "1e3", "8,5", "abc", ".", "nan", "inf", "99999999"})
      QVERIFY2(!parseInches(bad), bad);
  }

  void preferencesReportAnInitialPathThatIsNoFolder() {
    auto s = fresh();
    const QString base = folderWithEmptyFile("prefs2", "plain");
    QVERIFY(!base.isEmpty());
    PreferencesInput in;
    in.initialPath = base + "plain";
    in.tempDirPath = base + "t";
    QVERIFY(!applyPreferences(in, *s, nullptr, nullptr));
    QCOMPARE(prompts_.texts, QStringList({"The Initial Image Path cannot be verified."}));
    QCOMPARE(s->read(keys::TypeCheckImages), 1);
    QCOMPARE(s->readString(kAppSection, "TempDirPath", "unset"), QString("unset"));
  }
};

QObject* makeSettingsTest() { return new SettingsTest; }

}  // namespace hv::viewer::test

#include "settings_test.moc"
