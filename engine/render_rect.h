#pragma once
// Rendering an image rectangle into a blit target: the work behind
// grxRenderRect, for the engine's own callers.
#include <cstdint>

#include "engine/display.h"
#include "platform/status.h"

namespace hv::engine {

// As grxRenderRect (engine/display.h). Ok; NoHandle; BadArgument for a missing
// argument or a scale with a zero term; BadRotation; NoContext when the
// decoding context could not be made (nothing drawn); CodingError when the
// data is bad part-way (the bands before it are drawn); BandFailed when the
// scaled rectangle cannot be banded or a band cannot be turned; Stopped when
// the progress callback asked to stop.
Status renderRect(const GrxBlitTarget* target, const GrxRect* display, ImageHdl handle, const GrxRect* image,
                  const std::uint8_t scale[4], int rotation, int lineMode, GrxProgress progress);

}  // namespace hv::engine
