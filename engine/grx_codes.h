#pragma once
// The integer results of the exported grx* functions, made from the Status
// of the work behind them. The numbers themselves are named in
// engine/grx_status.h (failures) and engine/display.h (render results); which
// Status becomes which number is decided here and nowhere else.
#include "platform/status.h"

namespace hv::engine {

// The status codes of the grx* functions: 0 for Ok, the negative GRX_*
// failures, and the positive GRX_RENDER_* results of rendering.
int toGrxCode(Status status);

// The 1-or-0 results of the grx* functions that answer done or not done.
int toGrxFlag(Status status);

}  // namespace hv::engine
