#pragma once
// Loading a whole image into image memory: the work behind
// grxLoadImageMemory, for the engine's own callers.
#include "engine/image_handle.h"
#include "platform/status.h"

namespace hv::engine {

// Decodes the image's file into new image memory on the handle. Ok;
// BadArgument without a handle or file, or when image memory is loaded
// already; NoMemory; Stopped when the progress callback asked to stop;
// otherwise why decoding failed (the lines the data did not reach are blank,
// and the memory stays on the handle).
Status loadImageMemory(ImageHdl handle, GrxProgress progress);

}  // namespace hv::engine
