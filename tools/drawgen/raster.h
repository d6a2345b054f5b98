#pragma once
// Drawing primitives over a Bitmap. Coordinates are in pixels with (0,0) at
// the top-left corner of the top-left pixel; a pixel is painted when its
// centre falls inside the shape. Everything is clipped to the bitmap.
#include <vector>

#include "tools/drawgen/drawgen.h"

namespace hv::drawgen {

struct Pt {
  double x = 0, y = 0;
};

class Raster {
 public:
  explicit Raster(Bitmap& bitmap) : bm_(bitmap) {}

  // Pixels x0..x1 (inclusive) of row y.
  void span(long long y, long long x0, long long x1);
  void rect(double x0, double y0, double x1, double y1);
  // A stroke `weight` pixels wide with square caps (extended by half the
  // weight), so polylines join without notches.
  void line(Pt a, Pt b, double weight);
  void polyline(const std::vector<Pt>& pts, double weight, bool closed = false);
  // Strokes along a->b following an on/off pattern of lengths in pixels.
  void dashed(Pt a, Pt b, double weight, const std::vector<double>& pattern);
  void circle(Pt c, double r, double weight);
  void disk(Pt c, double r);
  // Counter-clockwise on screen from angle a0 to a1 (radians, y pointing up).
  void arc(Pt c, double r, double a0, double a1, double weight);
  // Even-odd filled polygon.
  void fill(const std::vector<Pt>& pts);

  // Parallel lines at `angle` spaced `gap` apart, clipped to a rectangle or
  // to a disk (optionally leaving out a concentric hole).
  void hatchRect(double x0, double y0, double x1, double y1, double angle, double gap,
                 double weight);
  void hatchDisk(Pt c, double r, double hole, double angle, double gap, double weight);

  Bitmap& bitmap() { return bm_; }

 private:
  void column(long long x, long long y0, long long y1);
  Bitmap& bm_;
};

}  // namespace hv::drawgen
