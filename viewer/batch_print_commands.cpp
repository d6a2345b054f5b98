#include "viewer/batch_print_commands.h"

#include <QDialog>
#include <QFileInfo>
#include <QPrinterInfo>

#include "filedialog/file_request.h"
#include "viewer/batch_print_dialog.h"
#include "viewer/batch_print_options.h"
#include "viewer/command_table.h"
#include "viewer/filedata_command.h"
#include "viewer/main_frame.h"
#include "viewer/printer_settings_dialog.h"
#include "viewer/user_prompt.h"
#include "viewer/viewer_app.h"
#include "viewer/viewer_doc.h"

namespace hv::viewer {

namespace bp = hv::batchprint;

namespace {

QString qtext(const std::string& s) { return QString::fromLocal8Bit(s.data(), qsizetype(s.size())); }
std::string text(const QString& s) { return s.toLocal8Bit().toStdString(); }

constexpr const char* kCaption = "Batch Print Error";

// The folder the options' "Directory" defaults to: the active image's folder,
// else the folder of the last Open, else the initial path.
QString callerFolder(CMainFrame& f) {
  CViewerApp* app = CViewerApp::instance();
  if (CViewerDoc* d = f.activeDocument(); d && !d->directory().isEmpty()) return d->directory();
  if (app && !app->lastUsedFolder().isEmpty()) return app->lastUsedFolder();
  return app ? app->values().initialPath : QString();
}

BatchSubmitSetup setupFor(CMainFrame& f) {
  CViewerApp* app = CViewerApp::instance();
  BatchSubmitSetup setup;
  setup.callerFolder = callerFolder(f);
  if (app) {
    setup.batchFolder = app->settings().read(keys::BatchPrintPath);
    setup.fileListSort = app->values().fileListSort;
  }
  return setup;
}

}  // namespace

bp::SubmitResult SubmitBatchPrint(QWidget* owner, const CViewerSettings& settings,
                                  const BatchSubmitSetup& setup) {
  const bp::BatchPrintOptions options = readBatchPrintOptions(settings, setup.callerFolder);

  FileDialogRequest request;
  request.owner = owner;
  request.initialFolder = qtext(options.directory);
  request.kind = 1;
  request.multipleSelection = true;
  request.filter = qtext(options.selectionFilters);
  request.title = "Batch Print File Selection";
  request.itemType = setup.fileListSort;
  const FileDialogResult chosen = RunFileDialogRequest(request);

  bp::SubmitResult result;
  if (chosen.code != QDialog::Accepted || chosen.realPaths.isEmpty()) {
    result.status = bp::SubmitStatus::NoImages;
    return result;
  }
  std::vector<std::string> images;
  for (const QString& path : chosen.realPaths) images.push_back(text(path));

  bp::SubmitEnvironment env = setup.environment;
  if (env.listFolder.empty() && !setup.batchFolder.isEmpty() && QFileInfo(setup.batchFolder).isDir())
    env.listFolder = text(withSlash(setup.batchFolder));
  result =
      options.remote ? bp::submitRemoteJob(images, options, env) : bp::submitLocalJob(images, options, env);
  ReportBatchSubmission(result);
  return result;
}

void ReportBatchSubmission(const bp::SubmitResult& result) {
  if (!result.ok()) {
    if (!result.message.empty())
      showCaptionedMessage(result.caption.empty() ? QString(kCaption) : qtext(result.caption),
                           qtext(result.message));
    return;
  }
  if (result.failedImages.empty()) return;
  // The job went without them: the user learns which drawings will not print.
  QString names;
  for (const std::string& image : result.failedImages) names += "\n" + qtext(image);
  showCaptionedMessage(kCaption, "These images could not be read and were left out of the batch:" + names);
}

void addBatchPrintCommands(CommandTable& t) {
  CommandSpec s =
      command("batch.select", "&Batch Print...", "Select images for local or remote batch printing");
  s.run = [](CMainFrame& f) {
    if (CViewerApp* app = CViewerApp::instance()) (void)SubmitBatchPrint(&f, app->settings(), setupFor(f));
  };
  t.add(s);

  s = command("batch.options", "Batch Print &Options...", "Setup Batch Image Local/Remote Print Options...");
  s.run = [](CMainFrame& f) {
    if (CViewerApp* app = CViewerApp::instance())
      (void)editBatchPrintOptions(&f, app->settings(), callerFolder(f));
  };
  t.add(s);

  s = command("batch.printerSettings", "Printer Se&ttings...", "Printer Settings...");
  s.run = [](CMainFrame& f) {
    if (CViewerApp* app = CViewerApp::instance())
      (void)runPrinterSettings(&f, *app, QPrinterInfo::availablePrinterNames(),
                               QPrinterInfo::defaultPrinterName());
  };
  t.add(s);

  addFileDataCommand(t);
}

}  // namespace hv::viewer
