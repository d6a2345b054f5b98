#pragma once
// The viewer's deletion and QA commands: the prompts shown as message boxes,
// the active document, the delete dialog and the folder browsers.
#include <QString>
#include <optional>
#include <string>

#include "viewer/deletion_ui.h"

namespace hv::viewer {

class CMainFrame;
class CViewerDoc;
class CommandTable;

// Questions through the viewer's message boxes (user_prompt), progress in the
// main frame's status bar (none without a frame).
class FramePrompts : public CommandPrompts {
 public:
  explicit FramePrompts(CMainFrame* frame) : frame_(frame) {}
  PromptAnswer ask(const std::string& text, PromptButtons buttons, PromptIcon icon) override;
  void showStatus(const std::string& text) override;
  std::string statusText() const override;

 private:
  CMainFrame* frame_;
};

// A viewer document as the deletion operations see it.
class DocumentDeletionTarget : public DeletionDocument {
 public:
  explicit DocumentDeletionTarget(CViewerDoc& doc) : doc_(doc) {}
  std::string storedPath() const override;
  bool isModified() const override;
  void releaseImage() override;
  bool hasNeighbourList() const override;
  void dropNeighbour(const std::string& name) override;
  bool stepToNeighbour() override;
  void close() override;

 private:
  CViewerDoc& doc_;
};

// The QA lock of a document's image.
bool isDocumentQaLocked(const CViewerDoc& doc);
// Enablement of "Delete the active image file": an image that is not QA-locked.
bool canDeleteActiveImage(CMainFrame& frame);

// The commands.
void OnDeleteActiveImage(CMainFrame& frame);
// startFolder: the viewer's last used folder (empty: InitialPath). Gives the
// new last used folder when the first item deleted was a file.
std::optional<QString> DeleteSelectedObjects(CMainFrame& frame, const QString& startFolder);
void OnMarkQaComplete(CMainFrame& frame);
void OnQaCleanup(CMainFrame& frame);

// Plugs the four commands into the command table: "file.deleteActive",
// "file.delete", "qa.markComplete", "qa.cleanup".
void addDeletionCommands(CommandTable& table);

}  // namespace hv::viewer
