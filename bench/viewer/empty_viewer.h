#pragma once
// The viewer application as the viewer's benchmarks start it: empty, in a
// temporary home of its own with its settings file and queue folder, on the
// offscreen platform and without a session bus (every start is a first
// start, with no hand-over to a running viewer).
#include <QString>
#include <memory>

#include "viewer/viewer_app.h"

namespace hv::bench {

// Qt's platform and the session bus as the benchmarks need them; call before
// the QApplication exists.
void prepareBenchEnvironment();

// Starts an empty viewer application whose settings and queue folder live in
// `home`; null when it does not start.
std::unique_ptr<hv::viewer::CViewerApp> startEmptyViewer(const QString& home);

// The process's shared empty viewer, started on first use in a temporary home;
// the process ends when it does not start.
hv::viewer::CViewerApp& benchViewer();
// A file name in the shared viewer's temporary home.
QString benchHomeFile(const QString& name);
// Ends the shared viewer; call before the QApplication goes.
void stopBenchViewer();

}  // namespace hv::bench
