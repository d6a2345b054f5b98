#include "desktop/message_box.h"

#include <QMessageBox>
#include <QString>

#include "formats/fm_messages.h"

namespace hv::desktop {

std::unique_ptr<QMessageBox> makeReportBox(int severity, const char* caption, const char* text) {
  auto icon = severity == hv::formats::kFatal ? QMessageBox::Critical : QMessageBox::Information;
  QString body = QString::fromLocal8Bit(text).trimmed();
  auto box = std::make_unique<QMessageBox>(icon, QString::fromLatin1(caption), body, QMessageBox::Ok);
  return box;
}

void installMessageBoxSink() {
  hv::formats::setMessageSink(
      [](int severity, const char* caption, const char* text, void*) { makeReportBox(severity, caption, text)->exec(); },
      nullptr);
}

}  // namespace hv::desktop
