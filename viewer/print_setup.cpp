#include "viewer/print_setup.h"

#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include "desktop/printer_choice.h"
#include "viewer/command_table.h"
#include "viewer/main_frame.h"
#include "viewer/user_prompt.h"
#include "viewer/viewer_app.h"

namespace hv::viewer {

bool prepareViewerPrinter(QPrinter& printer, const QString& current, const QString& defaultName,
                          const PrintSetupChoice& setup) {
  const QString name = hv::desktop::choosePrinter(current, defaultName);
  if (!hv::desktop::usePrinter(printer, name)) return false;
  if (!setup.printer.isEmpty() && setup.printer.compare(printer.printerName(), Qt::CaseInsensitive) == 0) {
    if (setup.pageSize.isValid()) printer.setPageSize(setup.pageSize);
    printer.setPageOrientation(setup.orientation);
  }
  return true;
}

void acceptPrintSetup(const QPrinter& printer, QString& current, PrintSetupChoice& setup) {
  const QString chosen = printer.printerName();
  if (chosen.isEmpty()) return;
  if (chosen.compare(current, Qt::CaseInsensitive) != 0) current = chosen;
  setup.printer = chosen;
  setup.pageSize = printer.pageLayout().pageSize();
  setup.orientation = printer.pageLayout().orientation();
}

bool runPrintSetup(QWidget* parent) {
  CViewerApp* app = CViewerApp::instance();
  if (app == nullptr) return false;
  QPrinter printer(QPrinter::HighResolution);
  if (!prepareViewerPrinter(printer, app->currentPrinter(), app->values().defaultPrinterName, app->printSetup())) {
    showMessage("No printer is installed.", QMessageBox::Warning);
    return false;
  }
  QPrintDialog dialog(&printer, parent);
  dialog.setWindowTitle("Print Setup");
  // Setting up prints nothing: no page range, no file, and the button says so.
  dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize);
  if (auto* buttons = dialog.findChild<QDialogButtonBox*>())
    if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok)) ok->setText("OK");
  if (dialog.exec() != QDialog::Accepted) return false;
  QString current = app->currentPrinter();
  acceptPrintSetup(printer, current, app->printSetup());
  app->setCurrentPrinter(current);
  return true;
}

void addPrintSetupCommands(CommandTable& t) {
  CommandSpec s =
      command("file.printSetup", "P&rint Setup...", "Change the printer and printing options\nPrint Setup");
  s.run = [](CMainFrame& f) { (void)runPrintSetup(&f); };
  t.add(s);
}

}  // namespace hv::viewer
