#include "viewer/editor_link.h"

#include <QThread>

#include "desktop/registered_messages.h"
#include "desktop/shared_text.h"
#include "desktop/window_bus.h"
#include "viewer/command_table.h"
#include "viewer/main_frame.h"
#include "viewer/user_prompt.h"
#include "viewer/viewer_app.h"
#include "viewer/viewer_doc.h"

namespace hv::viewer {

namespace dk = hv::desktop;

QString EditorLink::editorProgram() const {
  const QString dir = app_.settings().read(keys::CardwrightPath);
  if (dir.isEmpty()) return {};
  return dir.endsWith('/') ? dir + "Cardwright.Exe" : dir + "/Cardwright.Exe";
}

QString EditorLink::findEditor() const {
  dk::WindowBus* bus = app_.bus();
  return bus == nullptr ? QString() : bus->FindWindowByTitle(dk::kEditorTitle);
}

void EditorLink::SendImage(const CViewerDoc& doc) {
  if (!sendEnabled_) return;
  const QString reference = doc.jedmicsReference();
  if (reference.isEmpty()) return;
  const QString program = editorProgram();
  if (program.isEmpty()) {
    showMessage("Unable to locate JEDMICS Editor Path -- Please set it in your Preferences.");
    return;
  }
  dk::WindowBus* bus = app_.bus();
  if (bus == nullptr) return;
  QString editor = findEditor();
  if (!editor.isEmpty()) {
    bool ok = false;
    dk::SendSharedText(*bus, dk::block::CardwrightChangeImage, dk::msg::CardwrightChangeImage, editor,
                       reference.toLocal8Bit(), &ok);
    if (ok) pending_ = true;
  } else if (dk::LaunchProgram(program, {reference}) != 0) {
    return;
  }
  for (int i = 0; i < kLookups; ++i) {
    if (!findEditor().isEmpty()) break;
    QThread::msleep(kLookupPauseMs);
  }
}

bool EditorLink::MayLeaveImage(const CViewerDoc& doc) {
  if (doc.jedmicsIndex() == -1 || app_.bus() == nullptr) return true;
  const QString editor = findEditor();
  // Raising another program's window is up to the window manager; the editor
  // raises itself on the flush when it wants to.
  if (!editor.isEmpty()) (void)dk::FlushEditor(*app_.bus(), editor);
  return true;
}

void installSendToggle(CMainFrame& frame, EditorLink& link) {
  CommandTable& table = frame.commands();
  const CommandSpec* old = table.spec("jedmics.send");
  if (old == nullptr) return;
  CommandSpec spec = *old;
  spec.run = [&link](CMainFrame& f) {
    link.setSendEnabled(!link.sendEnabled());
    f.refreshTools();
  };
  spec.enabled = [](CMainFrame&) { return true; };
  spec.checked = [&link](CMainFrame&) { return link.sendEnabled(); };
  table.add(spec);
}

}  // namespace hv::viewer
