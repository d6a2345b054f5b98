// The file manager's installable sinks and cached defaults are used by
// programs with more than one thread (a viewer decoding in the background
// while its window thread installs its message box sink). Installing and
// using them at the same time must neither lose a report nor touch freed
// memory (the sanitizer tree runs these too).
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "formats/file_manager.h"
#include "formats/filter_table.h"
#include "formats/fm_messages.h"
#include "tests/support/temp_dir.h"

namespace hv::formats {
namespace {

std::atomic<long> gDelivered{0};

void countingSink(int, const char*, const char* text, void* user) {
  // The text must be a whole message, never a torn one.
  if (std::string(text) != "Unable to read shared.tif\n") static_cast<std::atomic<long>*>(user)->fetch_add(1000000);
  gDelivered.fetch_add(1);
}

TEST(SinkThreads, MessagesWhileSinksAreReplaced) {
  std::atomic<long> bad{0};
  const unsigned long before = messagesReported();
  constexpr int kReports = 4000;
  std::atomic<bool> stop{false};
  std::thread installer([&] {
    while (!stop.load()) {
      setMessageSink(countingSink, &bad);
      setMessageSink(nullptr, nullptr);
    }
  });
  std::vector<std::thread> reporters;
  for (int t = 0; t < 3; ++t)
    reporters.emplace_back([&] {
      for (int i = 0; i < kReports; ++i) {
        report(kWarning, kMsgUnableToRead, "shared.tif");
        ASSERT_EQ(lastMessage(), "Unable to read shared.tif\n");
      }
    });
  for (auto& r : reporters) r.join();
  stop = true;
  installer.join();
  setMessageSink(nullptr, nullptr);
  EXPECT_EQ(bad.load(), 0);
  EXPECT_EQ(messagesReported() - before, 3u * kReports);
}

TEST(SinkThreads, DefaultResolutionAndPresenterFromManyThreads) {
  hv::test::TempDir dir;
  hv::test::writeFile(dir.file("imviewer.ini"), "[FileMgr]\nRes=300\n");
  setIniDirectory(dir.path());
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < 300; ++i) {
        if (t == 0) resetDefaultResolution();
        if (t == 1) setInfoPresenter(i % 2 ? nullptr : InfoPresenter([](const ImageInformation&, void*) {}));
        if (resolveResolution(0) != 300) ++wrong;
        // Bound once, from any thread: the table is constant.
        if (bindFilter(kFilterTiff) != Status::Ok || filterProcs(kFilterTiff)->open == nullptr) ++wrong;
      }
    });
  for (auto& t : threads) t.join();
  setInfoPresenter(nullptr);
  EXPECT_EQ(wrong.load(), 0);
  setIniDirectory(std::string());
}

}  // namespace
}  // namespace hv::formats
