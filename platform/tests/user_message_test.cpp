// The user message handler is a std::function that a program replaces while
// other threads may be showing messages through it.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/user_message.h"

namespace hv::platform {
namespace {

TEST(UserMessage, HandlerReplacedWhileOtherThreadsShowMessages) {
  std::atomic<long> shown{0};
  std::atomic<bool> stop{false};
  // Each handler owns a sizeable capture, so that a handler destroyed while
  // still in use shows up as a use after free in the sanitizer tree.
  auto makeHandler = [&shown](int n) {
    std::string tag(256, static_cast<char>('a' + n % 26));
    return [&shown, tag](const std::string& text) {
      if (text == "drawing saved" && tag.size() == 256) shown.fetch_add(1);
    };
  };
  UserMessageHandler previous = setUserMessageHandler(makeHandler(0));
  std::thread installer([&] {
    for (int n = 1; !stop.load(); ++n) setUserMessageHandler(makeHandler(n));
  });
  std::vector<std::thread> users;
  constexpr int kMessages = 3000;
  for (int t = 0; t < 3; ++t)
    users.emplace_back([] {
      for (int i = 0; i < kMessages; ++i) showUserMessage("drawing saved");
    });
  for (auto& u : users) u.join();
  stop = true;
  installer.join();
  setUserMessageHandler(std::move(previous));
  EXPECT_EQ(shown.load(), 3 * kMessages);
}

}  // namespace
}  // namespace hv::platform
