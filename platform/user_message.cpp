#include "platform/user_message.h"

#include <cstdio>
#include <mutex>
#include <utility>

namespace hv::platform {
namespace {

// The installed handler; installed and used from any thread. It is called
// outside the lock, on a copy, so that it may install another.
struct Installed {
  std::mutex lock;
  UserMessageHandler handler;
};
Installed& installed() {
  static Installed i;
  return i;
}

}  // namespace

UserMessageHandler setUserMessageHandler(UserMessageHandler h) {
  Installed& i = installed();
  std::lock_guard<std::mutex> hold(i.lock);
  return std::exchange(i.handler, std::move(h));
}

void showUserMessage(const std::string& text) {
  UserMessageHandler handler;
  {
    Installed& i = installed();
    std::lock_guard<std::mutex> hold(i.lock);
    handler = i.handler;
  }
  if (handler) {
    handler(text);
  } else {
    std::fprintf(stderr, "%s\n", text.c_str());
  }
}

}  // namespace hv::platform
