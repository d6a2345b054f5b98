#pragma once
// The seven values of a view's state, carried from file to file.
#include <array>

namespace hv::viewer {

struct ViewState {
  enum Index { InitialView = 0, Rotation = 1, ZoomStep = 2, Invert = 3, Reserved4 = 4, Preview = 5, Reserved6 = 6 };
  std::array<int, 7> values{0, 0, 2, 0, 0, 0, 0};
  int& operator[](Index i) { return values[i]; }
  int operator[](Index i) const { return values[i]; }
};

// Tenths of a degree of a rotation index and back (any other stored value means 0).
inline int rotationTenths(int index) { return ((index % 4 + 4) % 4) * 900; }
inline int rotationIndex(int tenths) {
  switch (tenths) {
    case 900: return 1;
    case 1800: return 2;
    case 2700: return 3;
    default: return 0;
  }
}

}  // namespace hv::viewer
