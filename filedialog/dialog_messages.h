#pragma once
// The dialog's failure messages. The dialog shows them in modal message
// boxes; tests and headless callers install a sink that takes them instead.
#include <QString>
#include <functional>

#include "filedialog/tarnwick_export.h"

class QWidget;

using TarnwickMessageSink = std::function<void(const QString& caption, const QString& text)>;

// Installs a sink (an empty one restores the message boxes); returns the
// previous one.
TARNWICK_EXPORT TarnwickMessageSink SetTarnwickMessageSink(TarnwickMessageSink sink);

// An OK box with the text; caption empty: the application's name.
void ShowDialogMessage(QWidget* parent, const QString& text, const QString& caption = {});
// A Yes/No question; with a sink installed the answer is yes.
bool AskDialogQuestion(QWidget* parent, const QString& text, const QString& caption = {});
// The system's message text of an errno value.
QString SystemErrorText(int error);
