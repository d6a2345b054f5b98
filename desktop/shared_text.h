#pragma once
// Small named shared blocks carrying a text beside a desktop message: the
// sender writes the text and sends the message synchronously; the receiver
// reads the block while handling it.
#include <QString>
#include <optional>

namespace hv::desktop {

class WindowBus;

inline constexpr int kSharedBlockBytes = 4096;

// Writes the text (at most 4096 bytes, no terminator) into the block and
// sends the message with the text length as first parameter; the block
// lives until the answer arrives. `ok` false when the block or the call failed.
qint64 SendSharedText(const WindowBus& bus, const QString& blockName, const QString& message,
                      const QString& service, const QByteArray& text, bool* ok = nullptr);

// The whole block as a zero-terminated text; nullopt when it cannot be read.
std::optional<QByteArray> ReadSharedText(const QString& blockName);

}  // namespace hv::desktop
