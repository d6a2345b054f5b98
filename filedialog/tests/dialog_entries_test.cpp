// Changing a folder's entries from the dialog: new alias folders, renames,
// deletes, and the index that every change leaves behind.
#include <QAbstractItemView>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

#include "dialog_fixture.h"
#include "docindex/docfiles_record.h"
#include "filedialog/file_request.h"
#include "filedialog/image_file_dialog.h"

using namespace tarnwick_test;
using hv::docindex::parseRecords;

namespace {

std::unique_ptr<CImageFileDialog> openOn(const Folder& f) {
  return std::make_unique<CImageFileDialog>(CImageFileDialog::Open, QString(), QString(), CImageFileDialog::Flags(),
                                            kDefaultFilter, nullptr, f.path(), QString(), 0, QString());
}

unsigned modeOf(const Folder& f, const std::string& name) {
  struct stat st {};
  ::stat((f.native() + name.c_str()).constData(), &st);
  return st.st_mode & 0777;
}

}  // namespace

class DialogEntriesTest : public QObject {
  Q_OBJECT

 private slots:
  void newFolderTakesTheNextOptiNumber() {
    Folder f;
    f.index({{"sheet", "OPTI0002.TIF", 'W'}, {"jobs", "OPTI0007.ALS", 'D'}, {"New Folder", "OPTI0003.TIF", 'W'}});
    auto d = openOn(f);
    QVERIFY(d->CreateAliasFolder());
    QVERIFY(f.exists("OPTI0008.ALS/DOCFILES.IDX"));
    QCOMPARE(f.read("OPTI0008.ALS/DOCFILES.IDX"), std::string());
    QCOMPARE(modeOf(f, "OPTI0008.ALS/DOCFILES.IDX") & 0222, 0u);
    auto records = parseRecords(f.read("DOCFILES.IDX"));
    QCOMPARE(records.size(), std::size_t(4));
    QCOMPARE(records.back().longName(), std::string("New Folder (2)"));
    QCOMPARE(records.back().shortName(), std::string("OPTI0008.ALS"));
    QCOMPARE(records.back().access(), 'D');
    QCOMPARE(records.back().bytes()[78], '\0');
    QCOMPARE(records.back().bytes()[79], '\0');
    QCOMPARE(modeOf(f, "DOCFILES.IDX") & 0222, 0u);
    QVERIFY(aliasNames(d.get()).contains("New Folder (2)"));
    QCOMPARE(d->GetRealFileTypeByName("new folder (2)"), QChar('D'));
  }

  void newFolderSkipsANameTakenOnDisk() {
    Folder f;
    f.index({{"sheet", "OPTI0002.TIF", 'W'}});
    f.makeFolder("OPTI0003.ALS");  // made by someone else, not in the index
    auto d = openOn(f);
    QVERIFY(d->CreateAliasFolder());
    QCOMPARE(parseRecords(f.read("DOCFILES.IDX")).back().shortName(), std::string("OPTI0004.ALS"));
  }

  void renameCutsToSixtyFourCharacters() {
    Folder f;
    f.index({{"old name", "OPTI0000.TIF", 'W'}, {"other", "OPTI0001.TIF", 'W'}});
    auto d = openOn(f);
    const QString seventy = QString(70, 'n');
    QVERIFY(d->RenameEntry("old name", seventy));
    auto records = parseRecords(f.read("DOCFILES.IDX"));
    QCOMPARE(records[0].longName(), std::string(64, 'n'));
    QCOMPARE(records[0].shortName(), std::string("OPTI0000.TIF"));
    QCOMPARE(records[1].longName(), std::string("other"));
    QCOMPARE(aliasNames(d.get()).first(), QString(64, 'n'));
    QCOMPARE(modeOf(f, "DOCFILES.IDX") & 0222, 0u);
    // A name of several-byte characters is cut on a character boundary.
    QVERIFY(d->RenameEntry(QString(64, 'n'), QString(40, QChar(0x00E9))));
    QCOMPARE(parseRecords(f.read("DOCFILES.IDX"))[0].longName().size(), std::size_t(64));
    QCOMPARE(aliasNames(d.get()).first(), QString(32, QChar(0x00E9)));
  }

  void renameToAnotherEntrysNameIsRefused() {
    Folder f;
    f.index({{"Sheet A", "OPTI0000.TIF", 'W'}, {"Sheet B", "OPTI0001.TIF", 'W'}});
    const std::string before = f.read("DOCFILES.IDX");
    auto d = openOn(f);
    Messages messages;
    QVERIFY(!d->RenameEntry("Sheet A", "SHEET b"));
    QCOMPARE(messages.captions, QStringList{"Error Renaming File"});
    QCOMPARE(messages.texts, QStringList{"Cannot rename Sheet A. A file with the name you specified already exists. "
                                         "Specify a different filename."});
    QCOMPARE(f.read("DOCFILES.IDX"), before);
    // Changing only the case of its own name is allowed.
    QVERIFY(d->RenameEntry("Sheet A", "SHEET A"));
    QCOMPARE(parseRecords(f.read("DOCFILES.IDX"))[0].longName(), std::string("SHEET A"));
  }

  void renameRefusesANameAnotherProgramAddedMeanwhile() {
    Folder f;
    f.index({{"Sheet A", "OPTI0000.TIF", 'W'}});
    auto d = openOn(f);
    ::chmod((f.native() + "DOCFILES.IDX").constData(), 0644);
    f.write("DOCFILES.IDX", indexBytes({{"Sheet A", "OPTI0000.TIF", 'W'}, {"Late", "OPTI0001.TIF", 'W'}}));
    Messages messages;
    QVERIFY(!d->RenameEntry("Sheet A", "late"));
    QCOMPARE(messages.captions, QStringList{"Error Renaming File"});
    QCOMPARE(parseRecords(f.read("DOCFILES.IDX")).size(), std::size_t(2));
  }

  void deletingAnAliasFolderRemovesItsTreeAndRecordOnly() {
    Folder f;
    Folder outside;
    outside.write("precious.tif", "keep me");
    f.index({{"sheet", "OPTI0000.TIF", 'W'}, {"job", "OPTI0001.ALS", 'D'}, {"last", "OPTI0002.TIF", 'W'}});
    f.makeFolder("OPTI0001.ALS/deeper");
    f.write("OPTI0001.ALS/deeper/a.tif", "x");
    f.write("OPTI0001.ALS/OPTI0000.TIF", "x");
    ::chmod((f.native() + "OPTI0001.ALS/OPTI0000.TIF").constData(), 0444);
    ::symlink(outside.native().constData(), (f.native() + "OPTI0001.ALS/link").constData());
    ::symlink((outside.native() + "precious.tif").constData(), (f.native() + "OPTI0001.ALS/deeper/file-link").constData());
    auto d = openOn(f);
    QVERIFY(d->DeleteByLongName("JOB"));
    QVERIFY(!f.exists("OPTI0001.ALS"));
    QCOMPARE(outside.read("precious.tif"), std::string("keep me"));
    auto records = parseRecords(f.read("DOCFILES.IDX"));
    QCOMPARE(records.size(), std::size_t(2));
    QCOMPARE(records[0].longName(), std::string("sheet"));
    QCOMPARE(records[1].longName(), std::string("last"));
    QCOMPARE(aliasNames(d.get()), (QStringList{"sheet", "last"}));
    QCOMPARE(modeOf(f, "DOCFILES.IDX") & 0222, 0u);
  }

  void deletingSelectedFilesKeepsReadOnlyOnes() {
    Folder f;
    f.index({{"one", "OPTI0000.TIF", 'W'}, {"two", "OPTI0001.TIF", 'W'}, {"three", "OPTI0002.TIF", 'W'}});
    ::chmod((f.native() + "OPTI0002.TIF").constData(), 0444);
    auto d = openOn(f);
    Messages messages;
    selectAliases(d.get(), {"one", "three"});
    QVERIFY(!d->DeleteSelectedItems());
    QCOMPARE(messages.texts.size(), 1);
    QVERIFY(!f.exists("OPTI0000.TIF"));
    QVERIFY(f.exists("OPTI0002.TIF"));
    QCOMPARE(aliasNames(d.get()), (QStringList{"two", "three"}));
  }

  void deletingTheLastEntryKeepsAnEmptyIndex() {
    Folder f;
    f.index({{"only", "OPTI0000.TIF", 'W'}});
    auto d = openOn(f);
    QVERIFY(d->DeleteByLongName("only"));
    QVERIFY(f.exists("DOCFILES.IDX"));
    QCOMPARE(f.read("DOCFILES.IDX"), std::string());
    QVERIFY(d->convertFile().exists());
  }

  void appendKeepsRecordsOthersAdded() {
    Folder f;
    f.index({{"mine", "OPTI0000.TIF", 'W'}});
    auto d = openOn(f);
    ::chmod((f.native() + "DOCFILES.IDX").constData(), 0644);
    f.write("DOCFILES.IDX", indexBytes({{"mine", "OPTI0000.TIF", 'W'}, {"theirs", "OPTI0001.TIF", 'W'}}));
    QVERIFY(d->AppendConvertFile(CConvertFileRec("added", "OPTI0002.TIF", 'W')));
    auto records = parseRecords(f.read("DOCFILES.IDX"));
    QCOMPARE(records.size(), std::size_t(3));
    QCOMPARE(records[1].longName(), std::string("theirs"));
    QCOMPARE(records[2].longName(), std::string("added"));
  }

  void writeReplacesTheIndexWholeOrNotAtAll() {
    Folder f;
    f.index({{"a", "OPTI0000.TIF", 'W'}, {"b", "OPTI0001.TIF", 'W'}});
    auto d = openOn(f);
    QVERIFY(d->WriteConvertFile());
    QCOMPARE(f.read("DOCFILES.IDX"), indexBytes({{"a", "OPTI0000.TIF", 'W'}, {"b", "OPTI0001.TIF", 'W'}}));
    QCOMPARE(modeOf(f, "DOCFILES.IDX") & 0222, 0u);
    // A folder that cannot take the temporary leaves the old index in place.
    if (::geteuid() != 0) {
      ::chmod(f.native().constData(), 0555);
      QVERIFY(!d->WriteConvertFile());
      ::chmod(f.native().constData(), 0755);
      QCOMPARE(parseRecords(f.read("DOCFILES.IDX")).size(), std::size_t(2));
    }
  }

  void translateBogusPathTwoFoldersDeep() {
    Folder f;
    f.index({{"Project Alpha", "OPTI0003.ALS", 'D'}});
    f.write("OPTI0003.ALS/DOCFILES.IDX", indexBytes({{"Phase Two", "OPTI0001.ALS", 'D'}}));
    f.makeFolder("OPTI0003.ALS/OPTI0001.ALS");
    f.write("OPTI0003.ALS/OPTI0001.ALS/DOCFILES.IDX", indexBytes({{"Sheet 7 of 9", "OPTI0000.TIF", 'W'}}));
    f.write("OPTI0003.ALS/OPTI0001.ALS/OPTI0000.TIF", "x");
    QCOMPARE(CImageFileDialog::TranslateBogusPath(f.path() + "project alpha/Phase Two/Sheet 7 of 9"),
             f.path() + "OPTI0003.ALS/OPTI0001.ALS/OPTI0000.TIF");
    QCOMPARE(CImageFileDialog::TranslateBogusPath(f.path() + "Project Alpha/missing"),
             f.path() + "OPTI0003.ALS/missing");
    auto d = openOn(f);
    QCOMPARE(d->GetRealFileNameByPath(f.path() + "OPTI0003.ALS/", "PHASE TWO"), QString("OPTI0001.ALS"));
  }

  void anIndexChangedByAnotherProgramIsReloaded() {
    Folder f;
    f.index({{"first", "OPTI0000.TIF", 'W'}});
    auto d = openOn(f);
    d->show();
    selectAliases(d.get(), {"first"});
    // Another program replaces the index the way the store does.
    f.write("DOCFILES.IDX.new", indexBytes({{"first", "OPTI0000.TIF", 'W'}, {"second", "OPTI0001.TIF", 'W'}}));
    ::rename((f.native() + "DOCFILES.IDX.new").constData(), (f.native() + "DOCFILES.IDX").constData());
    QTRY_COMPARE_WITH_TIMEOUT(aliasNames(d.get()), (QStringList{"first", "second"}), 5000);
    QCOMPARE(d->GetRealFileName("second"), QString("OPTI0001.TIF"));
  }

  void labelEditingAndTheDeleteKey() {
    Folder f;
    f.index({{"draft", "OPTI0000.TIF", 'W'}, {"scrap", "OPTI0001.TIF", 'W'}});
    auto d = openOn(f);
    d->show();
    auto* view = d->findChild<QAbstractItemView*>("aliasList");
    // The end of label editing hands the new text to the model.
    view->model()->setData(view->model()->index(0, 0), "final", Qt::EditRole);
    QTRY_COMPARE(aliasNames(d.get()), (QStringList{"final", "scrap"}));
    QCOMPARE(parseRecords(f.read("DOCFILES.IDX"))[0].longName(), std::string("final"));
    Messages messages;  // answers the question with yes
    selectAliases(d.get(), {"scrap"});
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Delete);
    QCOMPARE(messages.captions, QStringList{"Confirm Delete"});
    QCOMPARE(aliasNames(d.get()), QStringList{"final"});
    QVERIFY(!f.exists("OPTI0001.TIF"));
  }

  void getNextOptiNumberRules() {
    CConvertFile empty;
    QCOMPARE(empty.GetNextOptiNumber(), 0);
    Folder f;
    f.index({{"x", "ABC.TIF", 'W'}}, false);
    CConvertFile none;
    QVERIFY(none.Open(f.path()));
    QCOMPARE(none.GetNextOptiNumber(), 1);
    f.index({{"x", "opti0041.tif", 'W'}, {"y", "OPTI0007.ALS", 'D'}, {"z", "ZZZ.TIF", 'W'}}, false);
    CConvertFile some;
    QVERIFY(some.Open(f.path()));
    QCOMPARE(some.GetNextOptiNumber(), 42);
  }
};

QTEST_MAIN(DialogEntriesTest)
#include "dialog_entries_test.moc"
