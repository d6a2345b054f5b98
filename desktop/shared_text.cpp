#include "desktop/shared_text.h"

#include <QSharedMemory>
#include <cstring>

#include "desktop/window_bus.h"

namespace hv::desktop {

qint64 SendSharedText(const WindowBus& bus, const QString& blockName, const QString& message,
                      const QString& service, const QByteArray& text, bool* ok) {
  if (ok) *ok = false;
  QSharedMemory block(blockName);
  if (!block.create(kSharedBlockBytes) && !block.attach()) return 0;
  const qsizetype n = std::min<qsizetype>(text.size(), kSharedBlockBytes);
  block.lock();
  std::memset(block.data(), 0, size_t(block.size()));
  std::memcpy(block.data(), text.constData(), size_t(n));
  block.unlock();
  qint64 answer = bus.send(service, message, quint64(n), 0, ok);
  block.detach();
  return answer;
}

std::optional<QByteArray> ReadSharedText(const QString& blockName) {
  QSharedMemory block(blockName);
  if (!block.attach(QSharedMemory::ReadOnly)) return std::nullopt;
  block.lock();
  QByteArray copy(static_cast<const char*>(block.constData()), block.size());
  block.unlock();
  block.detach();
  copy.append('\0');
  copy.truncate(int(qstrnlen(copy.constData(), size_t(copy.size()))));
  return copy;
}

}  // namespace hv::desktop
