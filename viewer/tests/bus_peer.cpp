// Another program on the session bus: a window with the title given, that
// may own the viewer's instance name and reports every message it receives.
#include <QApplication>
#include <QWidget>
#include <cstdio>

#include "desktop/window_bus.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) return 2;
  QWidget window;
  window.setWindowTitle(QString::fromLocal8Bit(argv[1]));
  if (argc > 2 && QByteArray(argv[2]) == "--claim" && !hv::desktop::WindowBus::claimName("org.halvor.Viewer"))
    return 3;
  hv::desktop::WindowBus bus;
  if (!bus.publish(&window)) return 4;
  bus.setHandler("HVMSG_HVViewer32_OpenInMainViewer", [](quint64, qint64) -> qint64 {
    std::printf("received\n");
    std::fflush(stdout);
    return 1;
  });
  std::printf("ready\n");
  std::fflush(stdout);
  return app.exec();
}
