#include "viewer/deletion_commands.h"

#include <QDialog>
#include <QFileInfo>
#include <vector>

#include "viewer/command_table.h"
#include "viewer/image_deletion.h"
#include "viewer/main_frame.h"
#include "viewer/qa_commands.h"
#include "viewer/selection_deletion.h"
#include "viewer/user_prompt.h"
#include "viewer/viewer_app.h"
#include "viewer/viewer_doc.h"
#include "viewer/viewer_settings.h"

#if HV_HAVE_TARNWICK
#include "filedialog/file_request.h"
#else
#include <QFileDialog>
#endif

namespace hv::viewer {

namespace {

std::string local(const QString& s) { return s.toLocal8Bit().toStdString(); }
QString fromLocal(const std::string& s) { return QString::fromLocal8Bit(s.c_str()); }

QMessageBox::StandardButtons qtButtons(PromptButtons b) {
  switch (b) {
    case PromptButtons::Ok: return QMessageBox::Ok;
    case PromptButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

QMessageBox::Icon qtIcon(PromptIcon i) {
  switch (i) {
    case PromptIcon::Question: return QMessageBox::Question;
    case PromptIcon::Warning: return QMessageBox::Warning;
    case PromptIcon::Information: break;
  }
  return QMessageBox::Information;
}

PromptAnswer answerOf(QMessageBox::StandardButton b, PromptButtons asked) {
  switch (b) {
    case QMessageBox::Yes: return PromptAnswer::Yes;
    case QMessageBox::No: return PromptAnswer::No;
    case QMessageBox::Ok: return PromptAnswer::Ok;
    case QMessageBox::Cancel: return PromptAnswer::Cancel;
    default: break;
  }
  // A box closed without a button (Escape, the window's close button).
  return asked == PromptButtons::YesNo ? PromptAnswer::No
                                       : (asked == PromptButtons::Ok ? PromptAnswer::Ok : PromptAnswer::Cancel);
}

CViewerApp* app() { return CViewerApp::instance(); }

QString startingFolder(const QString& lastUsed) {
  if (!lastUsed.isEmpty()) return lastUsed;
  return app() ? app()->values().initialPath : QString();
}

struct DeleteChoice {
  bool accepted = false;
  QString folder;
  QStringList paths;
};

#if HV_HAVE_TARNWICK

DeleteChoice runDeleteDialog(QWidget* owner, const QString& folder, const QString& filter, int fileListSort) {
  FileDialogRequest request;
  request.owner = owner;
  request.initialFolder = folder;
  request.kind = 2;
  request.multipleSelection = true;
  request.filter = filter;
  request.title = "Delete File(s)";
  request.itemType = fileListSort;
  FileDialogResult result = RunFileDialogRequest(request);
  return {result.code == QDialog::Accepted, result.folder, result.realPaths};
}

std::optional<std::string> browseFolder(QWidget* owner, const QString& folder, const QString& title) {
  FileDialogRequest request;
  request.owner = owner;
  request.initialFolder = folder;
  request.kind = 16;
  request.title = title;
  FileDialogResult result = RunFileDialogRequest(request);
  if (result.code != QDialog::Accepted) return std::nullopt;
  return local(result.folder);
}

#else

DeleteChoice runDeleteDialog(QWidget* owner, const QString& folder, const QString&, int) {
  QFileDialog dialog(owner, "Delete File(s)", folder);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  bool accepted = dialog.exec() == QDialog::Accepted;
  return {accepted, dialog.directory().absolutePath() + "/", dialog.selectedFiles()};
}

std::optional<std::string> browseFolder(QWidget* owner, const QString& folder, const QString& title) {
  QFileDialog dialog(owner, title, folder);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::Directory);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return local(dialog.selectedFiles().front());
}

#endif

// The deletion context of the main frame: its active document and the
// DeleteAsksToConfirm setting.
struct FrameDeletion {
  explicit FrameDeletion(CMainFrame& frame)
      : prompts(&frame), ctx{prompts, [this, &frame]() -> DeletionDocument* { return target(frame); }} {
    ctx.deleteAsksToConfirm = app() == nullptr || app()->values().deleteAsksToConfirm != 0;
  }
  DeletionDocument* target(CMainFrame& frame) {
    CViewerDoc* doc = frame.activeDocument();
    if (doc == nullptr) return nullptr;
    if (current == nullptr || currentDoc != doc) {
      current = std::make_unique<DocumentDeletionTarget>(*doc);
      currentDoc = doc;
    }
    return current.get();
  }
  FramePrompts prompts;
  DeletionContext ctx;
  std::unique_ptr<DocumentDeletionTarget> current;
  CViewerDoc* currentDoc = nullptr;
};

}  // namespace

PromptAnswer FramePrompts::ask(const std::string& text, PromptButtons buttons, PromptIcon icon) {
  return answerOf(hv::viewer::ask(fromLocal(text), qtButtons(buttons), qtIcon(icon)), buttons);
}

void FramePrompts::showStatus(const std::string& text) {
  if (frame_ == nullptr) return;
  const QString t = fromLocal(text);
  frame_->clearStatusText();
  if (!t.isEmpty() && t != "Ready") frame_->setStatusText(t, false);
}

std::string FramePrompts::statusText() const { return frame_ ? local(frame_->statusText()) : std::string(); }

std::string DocumentDeletionTarget::storedPath() const {
  return doc_.fileName().isEmpty() ? std::string() : local(doc_.pathName());
}
bool DocumentDeletionTarget::isModified() const { return doc_.isModified(); }
void DocumentDeletionTarget::releaseImage() { doc_.ReleaseImage(); }
bool DocumentDeletionTarget::hasNeighbourList() const { return !doc_.neighbours().empty(); }
void DocumentDeletionTarget::dropNeighbour(const std::string& name) {
  doc_.neighbours().removeName(name);
  doc_.RecomputeNeighboursAfterDelete();
}
bool DocumentDeletionTarget::stepToNeighbour() { return doc_.StepToNeighbour() == 1; }
void DocumentDeletionTarget::close() {
  // The image is gone: there is nothing left to save.
  doc_.setModified(false);
  emit doc_.closeRequested();
}

bool isDocumentQaLocked(const CViewerDoc& doc) {
  const std::string path = doc.fileName().isEmpty() ? std::string() : local(doc.pathName());
  return imageQaLocked(doc.hollerithIndex(), local(doc.directory()), path);
}

bool canDeleteActiveImage(CMainFrame& frame) {
  CViewerDoc* doc = frame.activeDocument();
  return doc != nullptr && doc->image() != nullptr && !isDocumentQaLocked(*doc);
}

void OnDeleteActiveImage(CMainFrame& frame) {
  CViewerDoc* doc = frame.activeDocument();
  if (doc == nullptr) return;
  FrameDeletion deletion(frame);
  DocumentDeletionTarget target(*doc);
  int cancel = 0;
  (void)DeleteActiveImage(deletion.ctx, target, cancel);
  frame.refreshTools();
}

std::optional<QString> DeleteSelectedObjects(CMainFrame& frame, const QString& startFolder) {
  QString filter = app() ? app()->settings().read(keys::FileSelectionFilters) : QString();
  int sort = app() ? app()->values().fileListSort : 0;
  DeleteChoice choice = runDeleteDialog(&frame, startingFolder(startFolder), filter, sort);
  if (!choice.accepted) return std::nullopt;
  std::vector<std::string> paths;
  for (const QString& p : choice.paths) paths.push_back(local(p));
  FrameDeletion deletion(frame);
  const bool firstIsFile = !paths.empty() && !QFileInfo(choice.paths.front()).isDir();
  (void)deleteSelection(deletion.ctx, paths);
  frame.refreshTools();
  if (firstIsFile) return choice.folder;
  return std::nullopt;
}

void OnMarkQaComplete(CMainFrame& frame) {
  QString start = startingFolder(app() ? app()->lastUsedFolder() : QString());
  auto chosen = browseFolder(&frame, start, "Select Directory To Mark QA Complete");
  FramePrompts prompts(&frame);
  (void)runMarkQaComplete(prompts, chosen);
  frame.refreshTools();
}

void OnQaCleanup(CMainFrame& frame) {
  QString start = startingFolder(app() ? app()->lastUsedFolder() : QString());
  auto chosen = browseFolder(&frame, start, "Select Directory Containing OVL, BAK and TG4 Files:");
  FramePrompts prompts(&frame);
  (void)runQaCleanup(prompts, chosen);
}

void addDeletionCommands(CommandTable& table) {
  CommandSpec s = command("file.deleteActive", "&Delete Image File", "Delete the active image file");
  s.run = [](CMainFrame& f) { OnDeleteActiveImage(f); };
  s.enabled = [](CMainFrame& f) { return canDeleteActiveImage(f); };
  table.add(s);

  s = command("file.delete", "Delete...", "Select image to delete");
  s.run = [](CMainFrame& f) {
    CViewerApp* a = app();
    auto folder = DeleteSelectedObjects(f, a ? a->lastUsedFolder() : QString());
    if (folder && a) a->setLastUsedFolder(*folder);
  };
  table.add(s);

  s = command("qa.markComplete", "Mark QA &Complete...",
              "Marks this job folder with file indicating that all QA has completed.");
  s.run = [](CMainFrame& f) { OnMarkQaComplete(f); };
  table.add(s);

  s = command("qa.cleanup", "QA C&leanup...", "");
  s.run = [](CMainFrame& f) { OnQaCleanup(f); };
  table.add(s);
}

}  // namespace hv::viewer
