#include "viewer/message_handlers.h"

#include <QTimer>

#include "desktop/registered_messages.h"
#include "desktop/shared_text.h"
#include "desktop/window_bus.h"
#include "viewer/editor_link.h"
#include "viewer/main_frame.h"
#include "viewer/viewer_app.h"
#include "viewer/viewer_doc.h"

namespace hv::viewer {

namespace {

namespace dk = hv::desktop;

bool isQueueKeyword(const QString& text) { return text.compare("IMAGEQUEUE", Qt::CaseInsensitive) == 0; }

QString textOf(const QString& block) {
  auto bytes = dk::ReadSharedText(block);
  return bytes ? QString::fromLocal8Bit(*bytes) : QString();
}

// Paths handed over by messages, opened one after another once the sender
// has its answer. Opening may show a message box, whose event loop takes
// further messages: their paths wait here instead of opening inside the box,
// so a burst of messages never stacks boxes inside one another.
struct PendingOpens {
  QStringList commands;
  bool draining = false;
};

PendingOpens& pending() {
  static PendingOpens p;
  return p;
}

void drain(CViewerApp& app) {
  PendingOpens& p = pending();
  if (p.draining) return;
  p.draining = true;
  while (!p.commands.isEmpty()) app.OpenCommandPath(p.commands.takeFirst());
  p.draining = false;
}

void openLater(CViewerApp& app, const QString& command) {
  if (command.trimmed().isEmpty()) return;
  pending().commands << command;
  QTimer::singleShot(0, &app, [&app] { drain(app); });
}

}  // namespace

void installMessageHandlers(CViewerApp& app) {
  dk::WindowBus* bus = app.bus();
  if (bus == nullptr) return;

  bus->setHandler(dk::msg::OpenInMainViewer, [&app](quint64, qint64) -> qint64 {
    if (!app.isPrimary() || !isQueueKeyword(textOf(dk::block::ViewerChangeImage))) return kChangeImageAnswer;
    return app.ProcessImageQueue();
  });

  bus->setHandler(dk::msg::ChangeImage, [&app](quint64, qint64) -> qint64 {
    const QString text = textOf(dk::block::ViewerChangeImage);
    if (isQueueKeyword(text))
      (void)app.ProcessImageQueue();
    else
      openLater(app, text);
    return kChangeImageAnswer;
  });

  bus->setHandler(dk::msg::CardletChangeImage, [&app](quint64, qint64) -> qint64 {
    openLater(app, textOf(dk::block::CardletChangeImage));
    return 0;
  });

  bus->setHandler(dk::msg::MarrickViewImage, [&app](quint64, qint64 second) -> qint64 {
    const QString name = dk::commandBlockName(second);
    if (name.isEmpty()) return 0;
    if (auto path = dk::ReadCommandBlock(name)) openLater(app, QString::fromLocal8Bit(*path));
    return 0;
  });

  bus->setHandler(dk::msg::InspectaResyncHoll, [&app](quint64, qint64) -> qint64 {
    CMainFrame* frame = app.mainFrame();
    if (frame == nullptr) return 0;
    frame->refreshTools();
    if (CViewerDoc* doc = frame->activeDocument()) doc->ResyncJedmicsRecord();
    return 0;
  });

  auto clearPending = [&app](quint64, qint64) -> qint64 {
    app.editorLink().setEditorPending(false);
    return 0;
  };
  bus->setHandler(dk::msg::InspectaCommandComplete, clearPending);
  bus->setHandler(dk::msg::InspectaCardwrightClosing, clearPending);
}

}  // namespace hv::viewer
