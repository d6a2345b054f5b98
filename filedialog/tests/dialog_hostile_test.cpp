// Indexes that are damaged or made to mislead: the dialog opens, lists the
// sound entries, and never reaches outside the folder.
#include <QDialog>
#include <QLineEdit>
#include <QTest>

#include "dialog_fixture.h"
#include "filedialog/file_request.h"
#include "filedialog/image_file_dialog.h"

using namespace tarnwick_test;

namespace {

std::unique_ptr<CImageFileDialog> openOn(const Folder& f) {
  return std::make_unique<CImageFileDialog>(CImageFileDialog::Open, QString(), QString(),
                                            CImageFileDialog::AllowMultiSelect, kDefaultFilter, nullptr, f.path(),
                                            QString(), 2, QString());
}

}  // namespace

class DialogHostileTest : public QObject {
  Q_OBJECT

 private slots:
  void shortIndexOfSeventyNineBytes() {
    Folder f;
    f.write("DOCFILES.IDX", std::string(79, 'A'));
    f.write("plain.tif", "x");
    auto d = openOn(f);
    QVERIFY(d->convertFile().exists());
    QCOMPARE(d->aliasCount(), 0);
    QCOMPARE(standardNames(d.get()), QStringList{"plain.tif"});
  }

  void tenThousandRecords() {
    Folder f;
    std::vector<Entry> entries;
    for (int i = 0; i < 10000; ++i)
      entries.push_back({"Drawing number " + std::to_string(i), QString::asprintf("OPTI%04d.TIF", i).toStdString(), 'W'});
    f.index(entries, false);
    f.write("OPTI0005.TIF", "x");
    auto d = openOn(f);
    QCOMPARE(d->aliasCount(), 10000);
    QCOMPARE(d->GetRealFileName("drawing number 9999"), QString("OPTI9999.TIF"));
    QVERIFY(standardNames(d.get()).isEmpty());
    Messages messages;
    QVERIFY(!d->CreateAliasFolder());  // the numbers end at 9999: refused with a message
    QCOMPARE(messages.texts.size(), 1);
    QCOMPARE(d->aliasCount(), 10000);
  }

  void nulRecordsAndEscapingShortNames() {
    Folder f;
    Folder outside;
    outside.write("secret.tif", "x");
    const QByteArray up = "../" + outside.path().section(u'/', -2, -2).toLocal8Bit();
    std::string bytes = indexBytes({{"good one", "OPTI0000.TIF", 'W'}});
    bytes += std::string(80, '\0');
    bytes += indexBytes({{"climb", std::string(up.constData()) + "/x", 'W'},
                         {"dots", "..", 'D'},
                         {"slash", "a/b", 'W'},
                         {"backslash", "..\\x.tif", 'W'},
                         {"good two", "OPTI0001.TIF", 'W'},
                         {"../escape", "OPTI0002.TIF", 'W'}});
    // A short name field without its terminator.
    std::string unterminated = indexBytes({{"no end", "OPTI0003.TIF", 'W'}});
    std::fill(unterminated.begin() + 64, unterminated.begin() + 77, 'Z');
    bytes += unterminated;
    f.write("DOCFILES.IDX", bytes);
    f.write("OPTI0000.TIF", "x");
    f.write("OPTI0001.TIF", "x");
    auto d = openOn(f);
    QCOMPARE(aliasNames(d.get()), (QStringList{"good one", "good two"}));
    QCOMPARE(d->GetRealFileName("climb"), QString());
    QCOMPARE(d->GetRealFileName("dots"), QString());
    QCOMPARE(CImageFileDialog::TranslateBogusPath(f.path() + "climb"), f.path() + "climb");
    QCOMPARE(CImageFileDialog::TranslateBogusPath(f.path() + "backslash"), f.path() + "backslash");
    QCOMPARE(d->GetLongFileName(".."), QString());
    QVERIFY(!d->IsMemberFile("a/b"));
    // A rewrite keeps the records the dialog does not list, byte for byte.
    QVERIFY(d->RenameEntry("good two", "good 2"));
    const std::string after = f.read("DOCFILES.IDX");
    QCOMPARE(after.size(), bytes.size());
    QCOMPARE(after.substr(0, 6 * 80), bytes.substr(0, 6 * 80));
    QCOMPARE(after.substr(7 * 80), bytes.substr(7 * 80));
  }

  void longNamesThatAreNotUtf8() {
    Folder f;
    f.index({{"\xC9tude \xFF\xFE", "OPTI0000.TIF", 'W'}, {"na\xC3\xAFve", "OPTI0001.TIF", 'W'}});
    QStringList shown;
    whenShown([&](CImageFileDialog* d) {
      shown = aliasNames(d);
      selectAliases(d, {QString::fromLatin1("\xC9tude \xFF\xFE")});
      d->accept();
    });
    FileDialogRequest request;
    request.initialFolder = f.path();
    FileDialogResult result = RunFileDialogRequest(request);
    QCOMPARE(shown, (QStringList{QString::fromLatin1("\xC9tude \xFF\xFE"), QString::fromUtf8("na\xC3\xAFve")}));
    QCOMPARE(result.realPaths, QStringList{f.path() + "OPTI0000.TIF"});
    QCOMPARE(CImageFileDialog::TranslateBogusPath(f.path() + QString::fromLatin1("\xC9TUDE \xFF\xFE")),
             f.path() + "OPTI0000.TIF");
  }

  void indexThatIsNotAFile() {
    Folder f;
    f.makeFolder("DOCFILES.IDX");
    f.write("a.tif", "x");
    auto d = openOn(f);
    QVERIFY(!d->convertFile().exists());
    QCOMPARE(standardNames(d.get()), QStringList{"a.tif"});
  }

  void randomIndexesNeverCrash() {
    Folder f;
    std::uint32_t seed = 12345;
    auto next = [&seed] {
      seed = seed * 1103515245u + 12345u;
      return static_cast<char>(seed >> 16);
    };
    for (int round = 0; round < 40; ++round) {
      std::string bytes(static_cast<std::size_t>(round * 37 % 1200), '\0');
      for (char& c : bytes) c = (round % 3 == 0) ? next() : static_cast<char>("OPTI0./\\\0ab"[static_cast<unsigned char>(next()) % 11]);
      f.write("DOCFILES.IDX", bytes);
      auto d = openOn(f);
      QVERIFY(d->aliasCount() <= static_cast<int>(bytes.size() / 80));
      for (int i = 0; i < d->aliasCount(); ++i) {
        const QString real = d->GetRealFileNameByItem(i);
        QVERIFY(!real.contains(u'/') && real != ".." && real != ".");
      }
    }
  }
};

QTEST_MAIN(DialogHostileTest)
#include "dialog_hostile_test.moc"
