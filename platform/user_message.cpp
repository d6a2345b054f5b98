#include "platform/user_message.h"

#include <cstdio>
#include <utility>

namespace hv::platform {
namespace {

UserMessageHandler& handler() {
  static UserMessageHandler h;
  return h;
}

}  // namespace

UserMessageHandler setUserMessageHandler(UserMessageHandler h) {
  return std::exchange(handler(), std::move(h));
}

void showUserMessage(const std::string& text) {
  if (handler()) {
    handler()(text);
  } else {
    std::fprintf(stderr, "%s\n", text.c_str());
  }
}

}  // namespace hv::platform
