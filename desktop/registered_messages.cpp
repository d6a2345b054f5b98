#include "desktop/registered_messages.h"

#include "desktop/launch_process.h"
#include "desktop/shared_text.h"
#include "desktop/window_bus.h"

namespace hv::desktop {

QStringList viewerMessageNames() {
  return {msg::OpenInMainViewer,    msg::ChangeImage,           msg::CardletChangeImage,
          msg::MarrickViewImage,    msg::InspectaResyncHoll,    msg::InspectaCommandComplete,
          msg::InspectaCardwrightClosing};
}

std::optional<qint64> FlushEditor(const WindowBus& bus, const QString& service) {
  bool ok = false;
  qint64 answer = bus.send(service, msg::CardwrightFlushHoll, 0, 0, &ok);
  if (!ok) return std::nullopt;
  return answer;
}

QString commandBlockName(qint64 second) {
  const unsigned handle = unsigned(quint64(second) & 0xFFFFu);
  if (handle == 0) return {};
  return QString("HVMMF_MarrickViewImageCmd_%1").arg(handle);
}

std::optional<QByteArray> ReadCommandBlock(const QString& name) {
  if (name.isEmpty()) return std::nullopt;
  return ReadSharedText(name);
}

int LaunchProgram(const QString& program, const QStringList& arguments) {
  StartResult r = startProgram(program, arguments);
  return r.started ? 0 : (r.error != 0 ? r.error : -1);
}

}  // namespace hv::desktop
