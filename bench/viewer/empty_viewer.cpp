#include "bench/viewer/empty_viewer.h"

#include <QTemporaryDir>
#include <cstdlib>

namespace hv::bench {

namespace {

struct Shared {
  std::unique_ptr<QTemporaryDir> home;
  std::unique_ptr<hv::viewer::CViewerApp> app;
};

Shared& shared() {
  static Shared s;
  return s;
}

}  // namespace

void prepareBenchEnvironment() {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qunsetenv("DBUS_SESSION_BUS_ADDRESS");
}

std::unique_ptr<hv::viewer::CViewerApp> startEmptyViewer(const QString& home) {
  auto settings = std::make_unique<hv::viewer::CViewerSettings>(home + "/settings.ini");
  auto app = std::make_unique<hv::viewer::CViewerApp>(std::move(settings));
  app->setQueueDir(home + "/queue");
  if (!app->InitInstance(QString())) return nullptr;
  return app;
}

hv::viewer::CViewerApp& benchViewer() {
  Shared& s = shared();
  if (!s.app) {
    s.home = std::make_unique<QTemporaryDir>();
    s.app = startEmptyViewer(s.home->path());
    if (!s.app) std::abort();
  }
  return *s.app;
}

QString benchHomeFile(const QString& name) {
  benchViewer();
  return shared().home->filePath(name);
}

void stopBenchViewer() {
  shared().app.reset();
  shared().home.reset();
}

}  // namespace hv::bench
