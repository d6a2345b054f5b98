#pragma once
// Region decoding of Group 4 "wrap" data written as one continuous raster
// (engine/ccitt_wrap_raster.h), for the decoding contexts of image handles.
#include "engine/decode_context.h"

namespace hv::engine {

// When the image's coded data is a continuous wrap raster (it begins with a
// mode code), delivers the lines of the region and returns true with the
// outcome filled. Decoding starts at the last resume point the handle kept at
// or before the region's first line (the raster's beginning when there is
// none); points are kept, about 32 per image, as decoding first passes them.
// Returns false, having delivered nothing, for data in the form of lines each
// preceded by an EOL, which the line decoder reads.
bool decodeWrapRegion(ImageHdl h, const RegionRequest& request, const LineSink& sink, RegionOutcome& outcome);

// Releases the resume points kept on the handle.
void freeWrapMarks(ImageHdl h);

}  // namespace hv::engine
