// Print setup through a private CUPS scheduler: which printer is preselected,
// when the chosen one becomes the current printer, and that the paper and
// orientation chosen apply to prints on that printer only.
#include <QApplication>
#include <QPrinter>
#include <QTest>

#include "desktop/printer_choice.h"
#include "viewer/print_setup.h"

namespace hv::viewer::test {

class PrintSetupTest : public QObject {
  Q_OBJECT
  QString queue_;   // the scheduler's default destination
  QString second_;  // another installed queue

  QString preselected(const QString& current, const QString& defaultName, const PrintSetupChoice& setup = {}) {
    QPrinter printer(QPrinter::HighResolution);
    return prepareViewerPrinter(printer, current, defaultName, setup) ? printer.printerName() : QString();
  }

 private slots:
  void initTestCase() {
    queue_ = qEnvironmentVariable("HV_CUPS_QUEUE");
    second_ = qEnvironmentVariable("HV_SECOND_QUEUE");
    if (queue_.isEmpty() || second_.isEmpty()) QSKIP("needs the CUPS harness and a second queue");
    QCOMPARE(hv::desktop::choosePrinter("", ""), queue_);
  }

  void currentPrinterThenDefaultPrinterNameThenTheSystemDefault() {
    QCOMPARE(preselected(second_, queue_), second_);
    QCOMPARE(preselected("", second_), second_);
    QCOMPARE(preselected("not-installed", second_), second_);
    QCOMPARE(preselected("not-installed", "not-installed-either"), queue_);
    QCOMPARE(preselected("", ""), queue_);
  }

  void paperAndOrientationApplyToTheSetUpPrinterOnly() {
    PrintSetupChoice setup;
    setup.printer = second_;
    setup.pageSize = QPageSize(QPageSize::A4);
    setup.orientation = QPageLayout::Landscape;
    QPrinter onSecond(QPrinter::HighResolution);
    QVERIFY(prepareViewerPrinter(onSecond, second_, "", setup));
    QCOMPARE(onSecond.pageLayout().pageSize().id(), QPageSize::A4);
    QCOMPARE(onSecond.pageLayout().orientation(), QPageLayout::Landscape);
    // Still at the destination's own resolution, not Qt's 1200 dpi.
    QCOMPARE(onSecond.resolution(), 300);
    QPrinter onDefault(QPrinter::HighResolution);
    QVERIFY(prepareViewerPrinter(onDefault, "", "", setup));
    QCOMPARE(onDefault.printerName(), queue_);
    QCOMPARE(onDefault.pageLayout().pageSize().id(), QPageSize::Letter);
    QCOMPARE(onDefault.pageLayout().orientation(), QPageLayout::Portrait);
  }

  void acceptedPrinterBecomesCurrentUnlessOnlyTheCaseDiffers() {
    QPrinter printer(QPrinter::HighResolution);
    QVERIFY(hv::desktop::usePrinter(printer, second_));
    printer.setPageSize(QPageSize(QPageSize::Legal));
    printer.setPageOrientation(QPageLayout::Landscape);
    QString current = queue_;
    PrintSetupChoice setup;
    acceptPrintSetup(printer, current, setup);
    QCOMPARE(current, second_);
    QCOMPARE(setup.printer, second_);
    QCOMPARE(setup.orientation, QPageLayout::Landscape);
    QCOMPARE(setup.pageSize.id(), QPageSize::Legal);
    // The same printer spelt in other letters stays as it was.
    current = second_.toUpper();
    acceptPrintSetup(printer, current, setup);
    QCOMPARE(current, second_.toUpper());
    // The next print on it takes the orientation chosen.
    QCOMPARE(preselected(second_, "", setup), second_);
    QPrinter next(QPrinter::HighResolution);
    QVERIFY(prepareViewerPrinter(next, second_, "", setup));
    QCOMPARE(next.pageLayout().orientation(), QPageLayout::Landscape);
    QCOMPARE(next.pageLayout().pageSize().id(), QPageSize::Legal);
  }
};

}  // namespace hv::viewer::test

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  hv::viewer::test::PrintSetupTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "print_setup_test.moc"
