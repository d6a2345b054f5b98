#pragma once
// The viewer's handlers of the desktop messages its sibling programs send.
namespace hv::viewer {

class CViewerApp;

// Installs every handler on the application's window bus.
void installMessageHandlers(CViewerApp& app);

// Answers of the handlers.
inline constexpr long long kQueueProcessed = 1;
inline constexpr long long kChangeImageAnswer = 99;

}  // namespace hv::viewer
