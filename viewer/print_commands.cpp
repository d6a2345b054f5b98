// Printing from the viewer: the whole image or the part the view shows, on
// the viewer's printer, through the desktop print module; and the print of
// the unattended "-print" cycle.
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollBar>

#include "desktop/print_page.h"
#include "desktop/printer_choice.h"
#include "viewer/command_table.h"
#include "viewer/main_frame.h"
#include "viewer/print_setup.h"
#include "viewer/user_prompt.h"
#include "viewer/view_commands.h"
#include "viewer/viewer_app.h"
#include "viewer/viewer_doc.h"
#include "viewer/viewer_view.h"

namespace hv::viewer {

namespace {

QString failureText(hv::desktop::PrintStatus status) {
  using hv::desktop::PrintStatus;
  switch (status) {
    case PrintStatus::kNoLayout: return "The printer's page cannot hold the image.";
    case PrintStatus::kCannotStart: return "The printer could not start the print job.";
    case PrintStatus::kRenderFailed: return "The image could not be drawn for printing.";
    case PrintStatus::kSubmitFailed: return "The print job could not be handed to the print system.";
    default: return "There is no image to print.";
  }
}

}  // namespace

bool CViewerView::printImage(int mode, bool unattended) {
  if (!hasImage()) return false;
  CViewerApp* app = CViewerApp::instance();
  printMode_ = mode;
  unattended_ = unattended;
  // However printing ends, the print cycle learns that it ended: a failed
  // unattended print must not keep its document open for ever.
  struct Finish {
    CViewerView* view;
    ~Finish() {
      view->unattended_ = false;
      view->doc_->printCycle().printFinished = 1;
    }
  } finish{this};
  const QString current = app ? app->currentPrinter() : QString();
  const QString fallback = app ? app->values().defaultPrinterName : QString();
  QPrinter printer(QPrinter::HighResolution);
  if (!prepareViewerPrinter(printer, current, fallback, app ? app->printSetup() : PrintSetupChoice{})) {
    if (!unattended) showMessage("No printer is installed.", QMessageBox::Warning);
    else qWarning("viewer: no printer to print %s on", qPrintable(doc_->pathName()));
    return false;
  }
  const QString name = printer.printerName();
  if (!unattended) {
    QPrintDialog dialog(&printer, this);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    if (dialog.exec() != QDialog::Accepted) return false;
    if (app) app->setCurrentPrinter(printer.printerName());
    // Another destination chosen in the dialog prints at its own default
    // resolution (Qt would take 1200 dpi for every one).
    // The paper and orientation chosen in the dialog stay.
    if (printer.printerName() != name) {
      const QPageLayout chosen = printer.pageLayout();
      (void)hv::desktop::usePrinter(printer, printer.printerName());
      printer.setPageSize(chosen.pageSize());
      printer.setPageOrientation(chosen.orientation());
    }
  }
  ImageHdl h = doc_->image();
  // An inverted-bit printer gets the picture the other way round; the image
  // keeps that polarity until the next Invert command.
  const QStringList inverted = app ? app->values().invertedPrinters : QStringList();
  const bool viewInverted = state_[ViewState::Invert] != 0;
  if (hv::desktop::isInvertedBitPrinter(printer.printerName(), inverted)) {
    h->invert = viewInverted ? 0 : 1;
    h->current->invert = h->invert;
    viewport()->update();
  }
  hv::desktop::PrintRequest request;
  request.image = h;
  request.viewRotation = h->current->rotation;
  request.rotateForBestFit = app && app->mainFrame() ? app->mainFrame()->rotateForBestFit() : true;
  request.invert = hv::desktop::printsInverted(viewInverted, printer.printerName(), inverted);
  request.stamp = doc_->GetPrintStamp();
  request.jobName = doc_->fileName();
  if (mode == 0) {
    const QRect shown = imageRectOf(viewport()->rect());
    if (!shown.isEmpty()) request.source = GrxRect{shown.left(), shown.top(), shown.right() + 1, shown.bottom() + 1};
  }
  const hv::desktop::PrintStatus status = hv::desktop::printDrawing(printer, request);
  if (status != hv::desktop::PrintStatus::kPrinted) {
    // An unattended print has nobody to answer a message: it goes to the log.
    if (!unattended) showMessage(failureText(status), QMessageBox::Warning);
    else qWarning("viewer: %s: %s", qPrintable(doc_->pathName()), qPrintable(failureText(status)));
    return false;
  }
  return true;
}

void CViewerView::PrintUnattended() { (void)printImage(1, true); }

void addPrintCommands(CommandTable& t) {
  auto plug = [&t](const QString& id, int mode) {
    CommandSpec s = t.registeredOr(id);
    s.run = [mode](CMainFrame& f) {
      if (CViewerView* v = f.activeView()) (void)v->printImage(mode, false);
    };
    s.enabled = [](CMainFrame& f) { return f.activeView() && f.activeView()->hasImage(); };
    t.add(s);
  };
  if (t.spec("file.printView") == nullptr)
    t.add(command("file.printView", "Print &View...", "Print contents of active view image"));
  plug("file.print", 1);
  plug("file.printView", 0);
}

}  // namespace hv::viewer
