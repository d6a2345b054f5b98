// The viewer's local batch print end to end: the selection, the list and the
// real batch print program handing one job per drawing to a private CUPS
// queue (run inside tests/support/cups-harness.sh).
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QTest>

#include "viewer/batch_print_commands.h"
#include "viewer/batch_print_options.h"
#include "viewer/tests/batch_print_support.h"
#include "viewer/tests/drawing_files.h"
#include "viewer/tests/viewer_fixture.h"

namespace hv::viewer::test {

namespace {
int pdfCount(const QString& folder) {
  int n = 0;
  QDir dir(folder);
  for (const QFileInfo& f : dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
    if (f.isDir())
      n += int(QDir(f.filePath()).entryList({"*.pdf"}, QDir::Files).size());
    else
      n += f.suffix() == "pdf";
  }
  return n;
}
}  // namespace

class BatchPrintCupsTest : public QObject {
  Q_OBJECT

 private slots:
  void localBatchPrintsOnePdfPerDrawing() {
    const QString pdfs = qEnvironmentVariable("HV_CUPS_PDF_DIR");
    if (pdfs.isEmpty()) QSKIP("run inside tests/support/cups-harness.sh");
    Prompts prompts;
    prompts.install();
    // The batch print program of this build, found on PATH.
    qputenv("PATH", QFileInfo(TESSAP_PATH).absolutePath().toLocal8Bit() + ":" + qgetenv("PATH"));
    const QString drawings = freshFolder("cups-drawings");
    QVERIFY(writeDrawing(s(drawings + "a.tif"), "TIFFGP4 ", 11, 800, 600));
    QVERIFY(writeDrawing(s(drawings + "b.cal"), "CAL1GP4 ", 12, 600, 800));
    QVERIFY(writeDrawing(s(drawings + "c.tif"), "TIFFGP4 ", 13, 500, 500));
    hv::batchprint::BatchPrintOptions o;
    o.directory = s(drawings);
    writeBatchPrintOptions(CViewerApp::instance()->settings(), o);
    BatchSubmitSetup setup;
    setup.batchFolder = freshFolder("cups-batch");
    whenModalShows<QFileDialog>([drawings](QFileDialog* d) {
      d->setDirectory(drawings);
      d->selectFile("\"a.tif\" \"b.cal\" \"c.tif\"");
      QMetaObject::invokeMethod(d, "accept");
    });
    const auto r = SubmitBatchPrint(nullptr, CViewerApp::instance()->settings(), setup);
    QVERIFY2(r.ok(), r.message.c_str());
    QTRY_COMPARE_WITH_TIMEOUT(pdfCount(pdfs), 3, 180000);
    // The program removes its list when it is done; no fourth job follows.
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(QString::fromStdString(r.listPath)), 30000);
    QTest::qWait(2000);
    QCOMPARE(pdfCount(pdfs), 3);
    QVERIFY(prompts.texts.isEmpty());
  }
};

}  // namespace hv::viewer::test

int main(int argc, char** argv) {
  using namespace hv::viewer::test;
  return runInEmptyViewer(argc, argv, {[]() -> QObject* { return new BatchPrintCupsTest; }});
}

#include "batch_print_cups_test.moc"
