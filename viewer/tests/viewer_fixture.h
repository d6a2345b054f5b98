#pragma once
// Shared set-up of the viewer's tests: a private home, cache and temporary
// folder, a settings file, the application started empty, and a prompt
// answerer that records every message.
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <initializer_list>
#include <memory>

#include "viewer/viewer_app.h"

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

}  // namespace hv::viewer::test
