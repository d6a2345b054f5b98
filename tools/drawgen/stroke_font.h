#pragma once
// A small single-stroke lettering font in the manner of drafting lettering
// guides: capitals, digits and the punctuation drawings use, each glyph a few
// polylines on a 4-wide, 6-high grid.
#include <string_view>

#include "tools/drawgen/raster.h"

namespace hv::drawgen {

struct TextStyle {
  double height = 40;   // capital height in pixels
  double weight = 3;    // stroke width in pixels
  double angle = 0;     // baseline direction, radians counter-clockwise
};

// Draws `text` with the top-left of its first capital at `origin`. Letters
// the font lacks leave a blank cell. Returns the advance length in pixels.
double drawText(Raster& raster, Pt origin, std::string_view text, const TextStyle& style);
// Advance length of `text` without drawing it.
double textWidth(std::string_view text, double height);

}  // namespace hv::drawgen
