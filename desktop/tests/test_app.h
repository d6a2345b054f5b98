#pragma once
// The one application object of the desktop tests, shared by every test
// file. It is deleted when the tests end, while Qt's own globals still
// exist, rather than among the static objects destroyed at exit.
#include <gtest/gtest.h>

#include <QApplication>

namespace hv::desktop::test {

inline QApplication*& appObject() {
  static QApplication* a = nullptr;
  return a;
}

inline QApplication& app() {
  static int argc = 1;
  static char name[] = "hv_desktop_tests";
  static char* argv[] = {name, nullptr};
  if (appObject() == nullptr) appObject() = new QApplication(argc, argv);
  return *appObject();
}

class AppEnvironment : public ::testing::Environment {
 public:
  void TearDown() override {
    delete appObject();
    appObject() = nullptr;
  }
};

inline const bool kAppEnvironmentAdded = (::testing::AddGlobalTestEnvironment(new AppEnvironment), true);

}  // namespace hv::desktop::test
