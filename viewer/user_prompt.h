#pragma once
// The viewer's modal message boxes and questions. Tests install an answerer
// that records each text and gives an answer instead of showing a box.
#include <QMessageBox>
#include <QString>
#include <functional>

namespace hv::viewer {

using PromptAnswerer = std::function<QMessageBox::StandardButton(const QString& text, QMessageBox::StandardButtons)>;
void setPromptAnswerer(PromptAnswerer answerer);

// An OK box (icon: information unless given).
void showMessage(const QString& text, QMessageBox::Icon icon = QMessageBox::Information);
// An OK box with its own caption; the answerer sees the text, and the
// caption is kept for lastMessageCaption().
void showCaptionedMessage(const QString& caption, const QString& text,
                          QMessageBox::Icon icon = QMessageBox::Warning);
// The caption of the last showCaptionedMessage.
QString lastMessageCaption();
// Yes/No; true for Yes.
bool askYesNo(const QString& text);
// Any buttons; the button chosen.
QMessageBox::StandardButton ask(const QString& text, QMessageBox::StandardButtons buttons,
                                QMessageBox::Icon icon = QMessageBox::Question);

}  // namespace hv::viewer
