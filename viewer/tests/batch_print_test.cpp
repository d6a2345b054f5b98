// Batch printing from the viewer: the options and their storage, the server
// choice, and the local and remote submissions through a real file dialog
// and a started program.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

#include "batchprint/job_files.h"
#include "viewer/batch_print_commands.h"
#include "viewer/batch_print_dialog.h"
#include "viewer/batch_print_options.h"
#include "viewer/main_frame.h"
#include "viewer/tests/batch_print_support.h"
#include "viewer/tests/batch_print_tests.h"
#include "viewer/tests/drawing_files.h"
#include "viewer/tests/viewer_fixture.h"
#include "viewer/user_prompt.h"

namespace hv::viewer::test {

namespace bp = hv::batchprint;

namespace {

const QString kSection = "Batch Image Print";

CViewerApp* app() { return CViewerApp::instance(); }

// Picks `names` in the selection dialog of `folder`, checking its title.
void chooseInSelection(const QString& folder, const QStringList& names, QString* title) {
  whenModalShows<QFileDialog>([folder, names, title](QFileDialog* d) {
    if (title) *title = d->windowTitle();
    d->setDirectory(folder);
    QStringList quoted;
    for (const QString& n : names) quoted << "\"" + n + "\"";
    d->selectFile(quoted.join(' '));
    QMetaObject::invokeMethod(d, "accept");
  });
}

QStringList bipFiles(const QString& folder) { return QDir(folder).entryList({"bip*"}, QDir::Files); }

}  // namespace

class BatchPrintTest : public QObject {
  Q_OBJECT
  Prompts prompts_;
  QString drawings_;

  void storeOptions(const bp::BatchPrintOptions& o) { writeBatchPrintOptions(app()->settings(), o); }

 private slots:
  void initTestCase() {
    drawings_ = freshFolder("drawings");
    QVERIFY(writeDrawing(s(drawings_ + "one.tif"), "TIFFGP4 ", 1, 400, 300));
    QVERIFY(writeDrawing(s(drawings_ + "two.cal"), "CAL1GP4 ", 2, 300, 400));
    QVERIFY(writeDrawing(s(drawings_ + "three.tif"), "TIFFGP4 ", 3, 200, 200));
  }
  void init() {
    prompts_ = Prompts{};
    prompts_.install();
  }

  // Every key written by the dialog reads back as it was entered, and the
  // dialog shows the stored values again.
  void optionsDialogRoundTripsEveryKey() {
    QString start = freshFolder("start");
    whenModalShows<CBatchPrintOptionsDialog>([start](CBatchPrintOptionsDialog* d) {
      d->findChild<QCheckBox*>("remote")->setChecked(true);
      d->findChild<QCheckBox*>("invert")->setChecked(true);
      d->findChild<QComboBox*>("serverName")->setEditText("");
      d->findChild<QLineEdit*>("serverAddress")->setText("10.1.2.3");
      d->findChild<QSpinBox*>("copies")->setValue(7);
      d->findChild<QSpinBox*>("plotter")->setValue(12);
      d->findChild<QLineEdit*>("size")->setText("E");
      d->findChild<QLineEdit*>("dataListName")->setText("Night Run");
      d->findChild<QLineEdit*>("directory")->setText(start);
      d->findChild<QLineEdit*>("reserved1")->setText("R-77");
      d->findChild<QLineEdit*>("selectionFilters")->setText("TIFF (*.tif)|*.tif||");
      d->accept();
    });
    QVERIFY(app()->mainFrame()->commands().run("batch.options"));
    CViewerSettings& st = app()->settings();
    QCOMPARE(st.readInt(kSection, "Remote", -1), 1);
    QCOMPARE(st.readInt(kSection, "Invert", -1), 1);
    QCOMPARE(st.readString(kSection, "ServerName", "?"), QString());
    QCOMPARE(st.readString(kSection, "Server Address", "?"), QString("10.1.2.3"));
    QCOMPARE(st.readInt(kSection, "Copies", -1), 7);
    QCOMPARE(st.readInt(kSection, "Plotter", -1), 12);
    QCOMPARE(st.readString(kSection, "Size", "?"), QString("E"));
    QCOMPARE(st.readString(kSection, "Data List Name", "?"), QString("Night Run"));
    QCOMPARE(st.readString(kSection, "Directory", "?"), start);
    QCOMPARE(st.readString(kSection, "Reserved_1", "?"), QString("R-77"));
    QCOMPARE(st.readString(kSection, "BatchSelectionFilters", "?"), QString("TIFF (*.tif)|*.tif||"));

    QStringList shown;
    whenModalShows<CBatchPrintOptionsDialog>([&shown](CBatchPrintOptionsDialog* d) {
      shown << QString::number(d->findChild<QSpinBox*>("copies")->value())
            << QString::number(d->findChild<QSpinBox*>("plotter")->value())
            << d->findChild<QLineEdit*>("size")->text() << d->findChild<QLineEdit*>("dataListName")->text()
            << d->findChild<QLineEdit*>("serverAddress")->text()
            << d->findChild<QLineEdit*>("reserved1")->text()
            << QString::number(d->findChild<QCheckBox*>("invert")->isChecked());
    });
    QVERIFY(app()->mainFrame()->commands().run("batch.options"));
    QCOMPARE(shown, (QStringList{"7", "12", "E", "Night Run", "10.1.2.3", "R-77", "1"}));
  }

  // With remote printing off the server keys keep their stored values;
  // Directory, Invert and Remote itself are written.
  void localSaveLeavesServerKeys() {
    QTemporaryDir dir;
    CViewerSettings st(dir.path() + "/s.ini");
    bp::BatchPrintOptions o;
    o.remote = true;
    o.serverAddress = "10.9.9.9";
    o.copies = 3;
    writeBatchPrintOptions(st, o);
    o.remote = false;
    o.serverAddress = "10.1.1.1";
    o.copies = 5;
    o.invert = true;
    o.directory = "/srv/drawings/";
    writeBatchPrintOptions(st, o);
    const bp::BatchPrintOptions back = readBatchPrintOptions(st);
    QCOMPARE(back.remote, false);
    QCOMPARE(back.invert, true);
    QCOMPARE(back.directory, std::string("/srv/drawings/"));
    QCOMPARE(back.serverAddress, std::string("10.9.9.9"));
    QCOMPARE(back.copies, 3u);
  }

  // Values that are not what their key holds read as the defaults; missing
  // keys give the documented defaults, the caller's folder for Directory.
  void junkAndMissingKeysReadAsDefaults() {
    QTemporaryDir dir;
    CViewerSettings st(dir.path() + "/s.ini");
    bp::BatchPrintOptions fresh = readBatchPrintOptions(st, dir.path());
    QCOMPARE(fresh.remote, false);
    QCOMPARE(fresh.copies, 0u);
    QCOMPARE(fresh.size, std::string("A"));
    QCOMPARE(fresh.dataListName, std::string("Batch Print"));
    QCOMPARE(fresh.selectionFilters, std::string("All Files (*.*)|*.*||"));
    QCOMPARE(fresh.directory, s(dir.path() + "/"));
    // A caller folder that does not exist leaves the home folder.
    QCOMPARE(readBatchPrintOptions(st, dir.path() + "/gone").directory, s(QDir::homePath() + "/"));

    for (auto [key, value] : {std::pair{"Remote", "yes"},
                              {"Copies", "many"},
                              {"Plotter", "-4"},
                              {"Invert", "1x"},
                              {"Server Address", "print.server"}})
      st.writeString(kSection, key, value);
    const bp::BatchPrintOptions junk = readBatchPrintOptions(st);
    QCOMPARE(junk.remote, false);
    QCOMPARE(junk.copies, 0u);
    QCOMPARE(junk.plotter, 0u);
    QCOMPARE(junk.invert, false);
    QCOMPARE(junk.serverAddress, std::string());
  }

  // The server names come from the host list (comments and short lines
  // skipped, a later duplicate replacing the earlier one at the end);
  // choosing one fills the address; an unknown name is refused.
  void serverChoiceFromTheHostList() {
    QString folder = freshFolder("hosts");
    writeAll(folder + "_mkhost.txt",
             "# address name number\n10.0.0.1 alpha 1\n10.0.0.2 beta 2\n10.0.0.3 short\n10.0.0.9 ALPHA 3\n"
             "#10.0.0.4 hidden 4\n10.0.0.5 plotroom7 5\n");
    qputenv("mkhostfile", (folder + "_mkhost.txt").toLocal8Bit());
    bp::BatchPrintOptions o;
    o.remote = true;
    storeOptions(o);
    QStringList names;
    QString address;
    bool stayedOpen = false;
    whenModalShows<CBatchPrintOptionsDialog>([&](CBatchPrintOptionsDialog* d) {
      auto* box = d->findChild<QComboBox*>("serverName");
      for (int i = 0; i < box->count(); ++i) names << box->itemText(i);
      box->setCurrentIndex(box->findText("ALPHA"));
      emit box->textActivated("ALPHA");
      address = d->findChild<QLineEdit*>("serverAddress")->text();
      box->setEditText("gamma");
      d->accept();
      stayedOpen = d->isVisible();
      box->setEditText("plotroom7");
      d->accept();
    });
    QVERIFY(app()->mainFrame()->commands().run("batch.options"));
    qunsetenv("mkhostfile");
    QCOMPARE(names, (QStringList{"beta", "ALPHA", "plotroom7"}));
    QCOMPARE(address, QString("10.0.0.9"));
    QVERIFY(stayedOpen);
    QCOMPARE(prompts_.texts, QStringList{"Host name could not be found in hostname list"});
    QCOMPARE(app()->settings().readString(kSection, "ServerName", "?"), QString("plotroom7"));
    QCOMPARE(app()->settings().readString(kSection, "Server Address", "?"), QString("10.0.0.5"));
  }

  // Local printing: the list names the chosen drawings in order, and the
  // program gets "-i" or an empty first argument, "-b" and the list.
  void localSubmissionStartsTheProgram_data() {
    QTest::addColumn<bool>("invert");
    QTest::addColumn<QStringList>("chosen");
    QTest::newRow("inverted, two") << true << QStringList{"two.cal", "one.tif"};
    QTest::newRow("plain, one") << false << QStringList{"three.tif"};
  }
  void localSubmissionStartsTheProgram() {
    QFETCH(bool, invert);
    QFETCH(QStringList, chosen);
    FakeTessap tessap;
    bp::BatchPrintOptions o;
    o.invert = invert;
    o.directory = s(drawings_);
    storeOptions(o);
    BatchSubmitSetup setup;
    setup.batchFolder = freshFolder("batch");
    QString title;
    chooseInSelection(drawings_, chosen, &title);
    const bp::SubmitResult r = SubmitBatchPrint(app()->mainFrame(), app()->settings(), setup);
    QVERIFY2(r.ok(), r.message.c_str());
    QCOMPARE(title, QString("Batch Print File Selection"));
    QVERIFY(tessap.waitForRun());
    const QString list = QString::fromStdString(r.listPath);
    QVERIFY(list.startsWith(setup.batchFolder + "bip"));
    QCOMPARE(tessap.arguments(), (QStringList{invert ? "-i" : "", "-b", list}));
    QByteArray expected;
    for (const QString& name : chosen) expected += (drawings_ + name).toLocal8Bit() + "\n";
    QCOMPARE(tessap.list(), expected);
    QVERIFY(prompts_.texts.isEmpty());
  }

  // A program that cannot be started: the system's text under "Batch Print
  // Error", and no list is left behind.
  void startFailureIsReported() {
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", (dataRoot() + "nowhere").toLocal8Bit());
    storeOptions(bp::BatchPrintOptions{});
    BatchSubmitSetup setup;
    setup.batchFolder = freshFolder("batch");
    chooseInSelection(drawings_, {"one.tif"}, nullptr);
    const bp::SubmitResult r = SubmitBatchPrint(app()->mainFrame(), app()->settings(), setup);
    qputenv("PATH", path);
    QCOMPARE(int(r.status), int(bp::SubmitStatus::StartFailed));
    QCOMPARE(prompts_.texts, QStringList{QString::fromLocal8Bit(std::strerror(ENOENT))});
    QCOMPARE(lastMessageCaption(), QString("Batch Print Error"));
    QCOMPARE(bipFiles(setup.batchFolder), QStringList());
  }

  // A cancelled selection ends the submission without a list or a program.
  void cancelledSelectionDoesNothing() {
    FakeTessap tessap;
    BatchSubmitSetup setup;
    setup.batchFolder = freshFolder("batch");
    whenModalShows<QFileDialog>([](QFileDialog* d) { d->reject(); });
    const bp::SubmitResult r = SubmitBatchPrint(app()->mainFrame(), app()->settings(), setup);
    QCOMPARE(int(r.status), int(bp::SubmitStatus::NoImages));
    QCOMPARE(bipFiles(setup.batchFolder), QStringList());
    QTest::qWait(200);
    QVERIFY(tessap.arguments().join("").isEmpty());
  }

  // Remote printing: the job files are byte for byte what the job writer
  // makes of the same drawings and options, the list names them in order and
  // the program gets the server parameters.
  void remoteSubmissionWritesTheJob() {
    FakeTessap tessap;
    bp::BatchPrintOptions o;
    o.remote = true;
    o.serverAddress = "10.1.2.3";
    o.copies = 2;
    o.plotter = 1;
    o.size = "D";
    o.dataListName = "Night Run";
    o.reserved1 = "R-77";
    o.directory = s(drawings_);
    storeOptions(o);
    BatchSubmitSetup setup;
    setup.batchFolder = freshFolder("batch");
    setup.environment.hostName = "station7.example.org";
    setup.environment.localAddress = 0x0A000005u;
    std::tm when{};
    when.tm_year = 126, when.tm_mon = 11, when.tm_mday = 7, when.tm_hour = 14, when.tm_min = 5,
    when.tm_sec = 9;
    setup.environment.when = when;
    chooseInSelection(drawings_, {"two.cal", "one.tif"}, nullptr);
    const bp::SubmitResult r = SubmitBatchPrint(app()->mainFrame(), app()->settings(), setup);
    QVERIFY2(r.ok(), r.message.c_str());
    const QString base = setup.batchFolder + "14050900.";
    QStringList files;
    for (const std::string& f : r.jobFiles) files << QString::fromStdString(f);
    QCOMPARE(files, (QStringList{base + "HDR", base + "001", base + "002", base + "TLR"}));

    const QString ref = freshFolder("reference");
    QVERIFY(bp::writeJobHeaderAt(s(ref + "h"), "station7", 0x0A000005u, 0x0A010203u, "Night Run", when));
    QVERIFY(bp::WriteJobImage(1, "station7", s(drawings_ + "two.cal"), s(ref + "1"), 2, 1, "D", "Night Run"));
    QVERIFY(bp::WriteJobImage(2, "station7", s(drawings_ + "one.tif"), s(ref + "2"), 2, 1, "D", "Night Run"));
    QVERIFY(bp::WriteJobTrailer(s(ref + "t"), 2));
    QCOMPARE(readAll(files[0]), readAll(ref + "h"));
    QCOMPARE(readAll(files[1]), readAll(ref + "1"));
    QCOMPARE(readAll(files[2]), readAll(ref + "2"));
    QCOMPARE(readAll(files[3]), readAll(ref + "t"));
    // Copies "02" and the drawing's own bytes after the 80-byte record.
    QCOMPARE(readAll(files[1]).left(2), QByteArray("\xF0\xF2"));
    QCOMPARE(readAll(files[1]).mid(80), readAll(drawings_ + "two.cal"));

    QVERIFY(tessap.waitForRun());
    const QString list = QString::fromStdString(r.listPath);
    QCOMPARE(tessap.arguments(), (QStringList{"", "-b", list, "-p", "10.1.2.3,station7,R-77"}));
    QCOMPARE(tessap.list(), (files.join('\n') + '\n').toLocal8Bit());
  }

  // Without a server address the submission stops with the documented
  // message and leaves no list.
  void remoteWithoutServerIsRefused() {
    FakeTessap tessap;
    bp::BatchPrintOptions o;
    o.remote = true;
    o.serverAddress = "";
    storeOptions(o);
    BatchSubmitSetup setup;
    setup.batchFolder = freshFolder("batch");
    chooseInSelection(drawings_, {"one.tif"}, nullptr);
    const bp::SubmitResult r = SubmitBatchPrint(app()->mainFrame(), app()->settings(), setup);
    QVERIFY(!r.ok());
    QCOMPARE(prompts_.texts, QStringList{"Network is down or missing print server hostname!"});
    QCOMPARE(lastMessageCaption(), QString("Batch Print Error"));
    QCOMPARE(QDir(setup.batchFolder).entryList(QDir::Files), QStringList());
  }
};

QObject* makeBatchPrintTest() { return new BatchPrintTest; }

}  // namespace hv::viewer::test

#include "batch_print_test.moc"
