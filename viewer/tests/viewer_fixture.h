#pragma once
// Shared set-up of the viewer's tests: a private home, cache and temporary
// folder, a settings file, the application started empty, a prompt
// answerer that records every message, a drawing opened in a view of known
// size, and the main frame's commands and mouse events as a user gives them.
#include <QEvent>
#include <QMessageBox>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <initializer_list>
#include <memory>

#include "tools/drawgen/drawgen.h"
#include "viewer/viewer_app.h"

class QWidget;

namespace hv::viewer {
class CViewerView;
}

namespace hv::viewer::test {

// Points HOME, XDG_CONFIG_HOME, XDG_CACHE_HOME and TMPDIR into `root`;
// call before the QApplication exists.
void isolateEnvironment(const QString& root);

// Runs the QTest classes made by `makers` in one viewer application started
// empty on an isolated environment; the process's exit status.
int runInEmptyViewer(int argc, char** argv, std::initializer_list<QObject* (*)()> makers);

struct Prompts {
  QStringList texts;
  QMessageBox::StandardButton answer = QMessageBox::Yes;
  void install();
  bool saw(const QString& part) const;
};

// A data folder outside the temporary and cache folders, so that files in it
// are opened where they are.
QString dataRoot();

// Writes `bitmap` as a Group 4 TIFF of `dpi` to dataRoot() + folder + name,
// opens it through the application and gives its view 800 x 600 client
// pixels without scroll bars, the commands refreshed; null when the file
// cannot be written or opened.
CViewerView* openInView(const QString& folder, const QString& name, const hv::drawgen::Bitmap& bitmap,
                        unsigned dpi);

// The main frame's command `id`: run as from its menu, and its enabled and
// checked state after the frame refreshed its tools.
bool runCommand(const char* id);
bool commandEnabled(const char* id);
bool commandChecked(const char* id);

// Sends a mouse event of `button` at p to w; the button is held but on its
// release.
void sendMouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button = Qt::LeftButton);

}  // namespace hv::viewer::test
