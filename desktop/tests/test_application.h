#pragma once
// The one QApplication of a desktop test executable, shared by every test
// file (an inline function's static is one object across files).
#include <QApplication>

namespace hv::desktop {

inline QApplication& testApplication() {
  static int argc = 1;
  static char name[] = "hv_desktop_tests";
  static char* argv[] = {name, nullptr};
  static QApplication a(argc, argv);
  return a;
}

}  // namespace hv::desktop
