#pragma once
#include "desktop/tests/test_app.h"

namespace hv::desktop {

inline QApplication& testApplication() { return test::app(); }

}  // namespace hv::desktop
