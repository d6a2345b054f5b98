// The dialog driven as the viewer runs it: what each list shows, and what
// comes back when the user chooses.
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QDialog>
#include <QLineEdit>
#include <QTest>

#include "dialog_fixture.h"
#include "filedialog/file_request.h"
#include "filedialog/image_file_dialog.h"

using namespace tarnwick_test;

namespace {

// Twenty entries: eighteen drawings, an alias folder and a PDF.
std::vector<Entry> twentyEntries() {
  std::vector<Entry> entries;
  for (int i = 0; i < 18; ++i)
    entries.push_back({"Drawing " + std::to_string(100 - i) + " sheet " + std::to_string(i % 3 + 1),
                       QString::asprintf("OPTI%04d.TIF", i).toStdString(), 'W'});
  entries.push_back({"Job 42 folder", "OPTI0018.ALS", 'D'});
  entries.push_back({"process standard", "OPTI0019.PDF", 'R'});
  return entries;
}

}  // namespace

class DialogListingTest : public QObject {
  Q_OBJECT

 private slots:
  void indexedFolderShowsLongNamesOnly() {
    Folder f;
    f.index(twentyEntries());
    f.write("loose.tif", "x");
    f.write("dsinfo.txt", "x");
    f.write("JMX.HOL", "x");
    f.write("UPLOAD.DAT", "x");
    QStringList standard, aliases;
    whenShown([&](CImageFileDialog* d) {
      standard = standardNames(d);
      aliases = aliasNames(d);
      d->reject();
    });
    FileDialogRequest request;
    request.initialFolder = f.path();
    FileDialogResult result = RunFileDialogRequest(request);
    QCOMPARE(result.code, int(QDialog::Rejected));
    QCOMPARE(aliases.size(), 20);
    QVERIFY(aliases.contains("Job 42 folder"));
    QVERIFY(aliases.contains("Drawing 100 sheet 1"));
    for (const QString& name : aliases) QVERIFY2(!name.startsWith("OPTI"), qPrintable(name));
    QCOMPARE(standard, QStringList{"loose.tif"});
    QVERIFY(LastFileDialog()->findChild<QWidget*>("aliasPanel")->isVisibleTo(LastFileDialog()));
  }

  void choosingTwoEntriesGivesTheirRealPaths() {
    Folder f;
    f.index(twentyEntries());
    QString typed;
    whenShown([&](CImageFileDialog* d) {
      selectAliases(d, {"Drawing 97 sheet 1", "process standard"});
      typed = d->findChild<QLineEdit*>("fileNameEdit")->text();
      // The user's way: the Open button, which must be available for names
      // that exist only in the index.
      QPushButton* open = d->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Open);
      QVERIFY(open->isEnabled());
      QTest::mouseClick(open, Qt::LeftButton);
    });
    FileDialogRequest request;
    request.initialFolder = f.path();
    request.multipleSelection = true;
    FileDialogResult result = RunFileDialogRequest(request);
    QCOMPARE(typed, QString("\"Drawing 97 sheet 1\" \"process standard\""));
    QCOMPARE(result.code, int(QDialog::Accepted));
    QCOMPARE(result.realPaths, (QStringList{f.path() + "OPTI0003.TIF", f.path() + "OPTI0019.PDF"}));
    QCOMPARE(result.folder, f.path());
    CImageFileDialog* d = LastFileDialog();
    QCOMPARE(d->GetOptiFileCount(), 2);
    QCOMPARE(d->GetOptiFilenameByIndex(1), f.path() + "OPTI0019.PDF");
    QCOMPARE(d->GetRealFileName("DRAWING 97 SHEET 1"), QString("OPTI0003.TIF"));
    QCOMPARE(d->GetLongFileName("opti0018.als"), QString("Job 42 folder"));
    QCOMPARE(d->GetRealFileTypeByName("process standard"), QChar('R'));
    QVERIFY(d->IsMemberFile("OPTI0019.PDF"));
    QVERIFY(!d->IsMemberFile("loose.tif"));
  }

  void typedLongNameAndAliasFolderEntry() {
    Folder f;
    f.index(twentyEntries());
    f.write("OPTI0018.ALS/DOCFILES.IDX", indexBytes({{"Inner drawing", "OPTI0000.TIF", 'W'}}));
    f.write("OPTI0018.ALS/OPTI0000.TIF", "x");
    QStringList inner;
    whenShown([&](CImageFileDialog* d) {
      d->findChild<QLineEdit*>("fileNameEdit")->setText("job 42 FOLDER");
      QVERIFY(!d->HandleOK());  // entering the alias folder keeps the dialog open
      inner = aliasNames(d);
      d->findChild<QLineEdit*>("fileNameEdit")->setText("Inner drawing");
      d->accept();
    });
    FileDialogRequest request;
    request.initialFolder = f.path();
    FileDialogResult result = RunFileDialogRequest(request);
    QCOMPARE(inner, QStringList{"Inner drawing"});
    QCOMPARE(result.realPaths, QStringList{f.path() + "OPTI0018.ALS/OPTI0000.TIF"});
    QCOMPARE(result.folder, f.path() + "OPTI0018.ALS/");
  }

  void plainFolderIsAStandardDialog() {
    Folder f;
    f.write("a.tif", "x");
    f.write("b.cal", "x");
    f.write("DOCFILES.idx.bak", "x");
    QStringList standard;
    bool aliasVisible = true;
    whenShown([&](CImageFileDialog* d) {
      standard = standardNames(d);
      aliasVisible = d->findChild<QWidget*>("aliasPanel")->isVisible();
      d->findChild<QLineEdit*>("fileNameEdit")->setText("b.cal");
      d->accept();
    });
    FileDialogRequest request;
    request.initialFolder = f.path();
    FileDialogResult result = RunFileDialogRequest(request);
    QVERIFY(!aliasVisible);
    QCOMPARE(standard, (QStringList{"DOCFILES.idx.bak", "a.tif", "b.cal"}));
    QCOMPARE(result.code, int(QDialog::Accepted));
    QCOMPARE(result.realPaths, QStringList{f.path() + "b.cal"});
    QCOMPARE(LastFileDialog()->aliasCount(), 0);
  }

  void hiddenNamesAndExclusions() {
    Folder f;
    f.index({{"Drawing", "OPTI0000.TIF", 'W'}});
    for (const char* name : {"jmx.hol", "upload.dat", "INDEX.HOL", "notes.xml", "keep.tif"}) f.write(name, "x");
    f.makeFolder("sub.xml");
    QStringList plain, withOptions;
    whenShown([&](CImageFileDialog* d) {
      plain = standardNames(d);
      d->Set_ShowJMXHoll(true);
      d->Set_ShowUploadDatFiles(true);
      d->Set_ExcludeFileExtensions(false);
      withOptions = standardNames(d);
      d->reject();
    });
    FileDialogRequest request;
    request.initialFolder = f.path();
    request.exclusions = QStringList{".xml", ".HOL"};
    RunFileDialogRequest(request);
    QCOMPARE(plain, (QStringList{"keep.tif", "sub.xml"}));
    QCOMPARE(withOptions, (QStringList{"INDEX.HOL", "jmx.hol", "keep.tif", "notes.xml", "sub.xml", "upload.dat"}));
  }

  void itemTypesSortTheAliasList() {
    Folder f;
    f.index({{"charlie", "OPTI0002.TIF", 'W'}, {"Alpha", "OPTI0009.TIF", 'W'}, {"bravo", "OPTI0001.TIF", 'W'}});
    const QStringList expected[] = {{"charlie", "Alpha", "bravo"}, {"bravo", "charlie", "Alpha"},
                                    {"Alpha", "bravo", "charlie"}, {"charlie", "Alpha", "bravo"}};
    for (int itemType : {0, 1, 2, 7}) {
      CImageFileDialog d(CImageFileDialog::Open, {}, {}, {}, kDefaultFilter, nullptr, f.path(), {}, itemType, {});
      QCOMPARE(aliasNames(&d), expected[itemType == 7 ? 3 : itemType]);
    }
  }

  void highlightSelectsTheEntry() {
    Folder f;
    f.index({{"first", "OPTI0000.TIF", 'W'}, {"second", "OPTI0001.TIF", 'W'}});
    CImageFileDialog d(CImageFileDialog::Print, {}, {}, {}, kDefaultFilter, nullptr, f.path(), {}, 0,
                       f.path() + "opti0001.tif\\\\");
    QCOMPARE(d.windowTitle(), QString("Print File(s)"));
    QCOMPARE(d.findChild<QLineEdit*>("fileNameEdit")->text(), QString("second"));
  }

  void saveAsFollowsTheChosenFilter() {
    Folder f;
    QString title, shownName;
    int filters = 0;
    whenShown([&](CImageFileDialog* d) {
      title = d->windowTitle();
      auto* types = d->findChild<QComboBox*>("fileTypeCombo");
      filters = types->count();
      types->setCurrentIndex(3);
      emit types->activated(3);
      shownName = d->findChild<QLineEdit*>("fileNameEdit")->text();
      d->accept();
    });
    FileDialogRequest request;
    request.kind = 4;
    request.initialFolder = f.path();
    request.defaultName = "sheet 1.tif";
    FileDialogResult result = RunFileDialogRequest(request);
    QCOMPARE(title, QString("Save File As..."));
    QCOMPARE(filters, 6);
    QCOMPARE(shownName, QString("sheet 1.CAL"));
    QCOMPARE(result.code, int(QDialog::Accepted));
    QCOMPARE(result.realPaths, QStringList{f.path() + "sheet 1.CAL"});
    QCOMPARE(result.filterIndex, 4);
  }

  void selectFolderRefusesFiles() {
    Folder f;
    f.index({{"A drawing", "OPTI0000.TIF", 'W'}, {"Jobs", "OPTI0001.ALS", 'D'}});
    Messages messages;
    whenShown([&](CImageFileDialog* d) {
      selectAliases(d, {"A drawing"});
      QVERIFY(!d->HandleOK());
      selectAliases(d, {"Jobs"});
      QPushButton* select = d->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Open);
      QCOMPARE(select->text(), QString("Select"));
      QVERIFY(select->isEnabled());
      QTest::mouseClick(select, Qt::LeftButton);
    });
    FileDialogRequest request;
    request.kind = 16;
    request.initialFolder = f.path();
    FileDialogResult result = RunFileDialogRequest(request);
    QCOMPARE(messages.texts, QStringList{"You may only select a folder and not a file."});
    QCOMPARE(result.code, int(QDialog::Accepted));
    QCOMPARE(result.folder, f.path() + "OPTI0001.ALS/");
    QVERIFY(result.realPaths.isEmpty());
    QCOMPARE(LastFileDialog()->windowTitle(), QString("Select Folder"));
  }
};

QTEST_MAIN(DialogListingTest)
#include "dialog_listing_test.moc"
