#pragma once
// Region decoding of Group 4 "wrap" data written as one continuous raster
// (engine/ccitt_wrap_raster.h), for the decoding contexts of image handles.
#include "engine/decode_context.h"

namespace hv::engine {

// When the image's coded data is a continuous wrap raster (it begins with a
// mode code), decodes it from the top, delivers the lines of the region and
// returns true with the outcome filled. Returns false, having delivered
// nothing, for data in the form of lines each preceded by an EOL, which the
// line decoder reads.
bool decodeWrapRegion(ImageHdl h, const RegionRequest& request, const LineSink& sink, RegionOutcome& outcome);

}  // namespace hv::engine
