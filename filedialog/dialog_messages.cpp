#include "filedialog/dialog_messages.h"

#include <QApplication>
#include <QMessageBox>
#include <cstring>

namespace {

TarnwickMessageSink& sink() {
  static TarnwickMessageSink s;
  return s;
}

QString captionOr(const QString& caption) {
  return caption.isEmpty() ? QApplication::applicationDisplayName() : caption;
}

}  // namespace

TarnwickMessageSink SetTarnwickMessageSink(TarnwickMessageSink s) {
  TarnwickMessageSink old = std::move(sink());
  sink() = std::move(s);
  return old;
}

void ShowDialogMessage(QWidget* parent, const QString& text, const QString& caption) {
  if (sink()) {
    sink()(caption, text);
    return;
  }
  QMessageBox::warning(parent, captionOr(caption), text, QMessageBox::Ok);
}

bool AskDialogQuestion(QWidget* parent, const QString& text, const QString& caption) {
  if (sink()) {
    sink()(caption, text);
    return true;
  }
  return QMessageBox::question(parent, captionOr(caption), text, QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

QString SystemErrorText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }
