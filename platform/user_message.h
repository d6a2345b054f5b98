#pragma once
// Messages that core functions must show to the user (the few texts a
// library function reports itself). The program installs a handler: the GUI
// shows a message box, headless programs print, tests collect. Without a
// handler the text goes to standard error.
#include <functional>
#include <string>

#include "platform/export.h"

namespace hv::platform {

using UserMessageHandler = std::function<void(const std::string& text)>;

// Installs the handler (an empty one restores standard error); returns the
// previous handler so that a caller can put it back.
HV_EXPORT UserMessageHandler setUserMessageHandler(UserMessageHandler handler);
HV_EXPORT void showUserMessage(const std::string& text);

}  // namespace hv::platform
