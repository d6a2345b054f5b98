#include "viewer/user_prompt.h"

#include <QApplication>

namespace hv::viewer {

namespace {
PromptAnswerer& answerer() {
  static PromptAnswerer a;
  return a;
}
QString& lastCaption() {
  static QString c;
  return c;
}
}  // namespace

void setPromptAnswerer(PromptAnswerer a) { answerer() = std::move(a); }

QMessageBox::StandardButton ask(const QString& text, QMessageBox::StandardButtons buttons, QMessageBox::Icon icon) {
  if (answerer()) return answerer()(text, buttons);
  QMessageBox box(icon, QApplication::applicationDisplayName(), text, buttons, QApplication::activeWindow());
  return QMessageBox::StandardButton(box.exec());
}

void showMessage(const QString& text, QMessageBox::Icon icon) { ask(text, QMessageBox::Ok, icon); }

void showCaptionedMessage(const QString& caption, const QString& text, QMessageBox::Icon icon) {
  lastCaption() = caption;
  if (answerer()) {
    (void)answerer()(text, QMessageBox::Ok);
    return;
  }
  QMessageBox box(icon, caption, text, QMessageBox::Ok, QApplication::activeWindow());
  box.exec();
}

QString lastMessageCaption() { return lastCaption(); }

bool askYesNo(const QString& text) { return ask(text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes; }

}  // namespace hv::viewer
