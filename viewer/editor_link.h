#pragma once
// The viewer's side of the JEDMICS record editor: the "Send to Cardwright"
// toggle, handing the editor the record of the image being shown (starting
// the editor when it is not running), and asking it to write pending edits
// before the image changes.
#include <QString>

namespace hv::viewer {

class CViewerApp;
class CViewerDoc;
class CMainFrame;

class EditorLink {
 public:
  explicit EditorLink(CViewerApp& app) : app_(app) {}

  bool sendEnabled() const { return sendEnabled_; }
  void setSendEnabled(bool on) { sendEnabled_ = on; }
  // Set while the editor works on something the viewer sent it; the editor's
  // command-complete and closing messages clear it.
  bool editorPending() const { return pending_; }
  void setEditorPending(bool on) { pending_ = on; }

  // The editor program: the CardwrightPath setting and "Cardwright.Exe".
  QString editorProgram() const;
  // The editor's window service; empty when it is not on the bus.
  QString findEditor() const;

  // A document opened or shows a new image: with the toggle on and a JEDMICS
  // record, the editor is given the reference (or started with it).
  void SendImage(const CViewerDoc& doc);
  // The may-leave-image check: asks a running editor to write its pending
  // edits of the document's record. Always lets the image go.
  bool MayLeaveImage(const CViewerDoc& doc);

  // Look-ups for the editor's window after starting it, and the pause
  // between two of them.
  static constexpr int kLookups = 100;
  static constexpr int kLookupPauseMs = 50;

 private:
  CViewerApp& app_;
  bool sendEnabled_ = false;
  bool pending_ = false;
};

// Plugs the "Send to Cardwright" toggle into the frame's command table.
void installSendToggle(CMainFrame& frame, EditorLink& link);

}  // namespace hv::viewer
