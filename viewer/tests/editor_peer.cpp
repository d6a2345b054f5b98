// Plays the JEDMICS record editor on the bus: a window titled
// "HV JEDMICS Editor" that appends every message it receives, one line each,
// to the file named by HV_EDITOR_RECORD ("start <argument>" when started
// with one, "change <text of the block>", "flush").
#include <QApplication>
#include <QFile>
#include <QWidget>
#include <cstdio>

#include "desktop/registered_messages.h"
#include "desktop/shared_text.h"
#include "desktop/window_bus.h"

namespace {

void record(const QByteArray& line) {
  QFile out(qEnvironmentVariable("HV_EDITOR_RECORD"));
  if (!out.open(QIODevice::WriteOnly | QIODevice::Append)) return;
  out.write(line + "\n");
}

}  // namespace

int main(int argc, char** argv) {
  namespace dk = hv::desktop;
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(dk::kEditorTitle);
  dk::WindowBus bus;
  bus.setHandler(dk::msg::CardwrightChangeImage, [](quint64 length, qint64) -> qint64 {
    auto text = dk::ReadSharedText(dk::block::CardwrightChangeImage);
    record("change " + (text ? text->left(qsizetype(length)) : QByteArray("<unreadable>")));
    return 0;
  });
  bus.setHandler(dk::msg::CardwrightFlushHoll, [](quint64, qint64) -> qint64 {
    record("flush");
    return 0;
  });
  if (argc > 1) record("start " + QByteArray(argv[1]));
  if (!bus.publish(&window)) return 4;
  std::printf("ready\n");
  std::fflush(stdout);
  return app.exec();
}
