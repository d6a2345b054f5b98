#include "tools/drawgen/raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace hv::drawgen {

namespace {

// First and last pixel index whose centre lies in [a, b]; empty when last < first.
long long firstCentre(double a) { return static_cast<long long>(std::ceil(a - 0.5)); }
long long lastCentre(double b) { return static_cast<long long>(std::floor(b - 0.5)); }

}  // namespace

void Raster::span(long long y, long long x0, long long x1) {
  if (y < 0 || y >= static_cast<long long>(bm_.height) || bm_.width == 0) return;
  x0 = std::max(x0, 0LL);
  x1 = std::min(x1, static_cast<long long>(bm_.width) - 1);
  if (x1 < x0) return;
  std::uint8_t* row = bm_.row(static_cast<std::uint32_t>(y));
  std::size_t b0 = std::size_t(x0 >> 3), b1 = std::size_t(x1 >> 3);
  std::uint8_t m0 = std::uint8_t(0xFFu >> (x0 & 7));
  std::uint8_t m1 = std::uint8_t(0xFF00u >> ((x1 & 7) + 1));
  if (b0 == b1) {
    row[b0] |= std::uint8_t(m0 & m1);
    return;
  }
  row[b0] |= m0;
  if (b1 > b0 + 1) std::memset(row + b0 + 1, 0xFF, b1 - b0 - 1);
  row[b1] |= m1;
}

void Raster::column(long long x, long long y0, long long y1) {
  if (x < 0 || x >= static_cast<long long>(bm_.width)) return;
  y0 = std::max(y0, 0LL);
  y1 = std::min(y1, static_cast<long long>(bm_.height) - 1);
  if (y1 < y0) return;
  const std::uint8_t mask = std::uint8_t(0x80u >> (x & 7));
  std::uint8_t* p = bm_.bits.data() + std::size_t(y0) * bm_.stride + std::size_t(x >> 3);
  for (long long y = y0; y <= y1; ++y, p += bm_.stride) *p |= mask;
}

void Raster::rect(double x0, double y0, double x1, double y1) {
  if (x1 < x0) std::swap(x0, x1);
  if (y1 < y0) std::swap(y0, y1);
  long long c0 = firstCentre(x0), c1 = lastCentre(x1);
  long long r0 = firstCentre(y0), r1 = lastCentre(y1);
  // Thin rectangles still leave a mark one pixel wide.
  if (c1 < c0) c0 = c1 = static_cast<long long>(std::floor((x0 + x1) / 2));
  if (r1 < r0) r0 = r1 = static_cast<long long>(std::floor((y0 + y1) / 2));
  r0 = std::max(r0, 0LL);
  r1 = std::min(r1, static_cast<long long>(bm_.height) - 1);
  for (long long y = r0; y <= r1; ++y) span(y, c0, c1);
}

void Raster::line(Pt a, Pt b, double weight) {
  weight = std::max(weight, 1.0);
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double len = std::hypot(dx, dy);
  const double half = weight / 2;
  if (len < 1e-9) {
    rect(a.x - half, a.y - half, a.x + half, a.y + half);
    return;
  }
  // Square caps: extend both ends by half the weight.
  const double ux = dx / len, uy = dy / len;
  a = {a.x - ux * half, a.y - uy * half};
  b = {b.x + ux * half, b.y + uy * half};
  if (std::fabs(dy) < 1e-9) {
    rect(std::min(a.x, b.x), a.y - half, std::max(a.x, b.x), a.y + half);
    return;
  }
  if (std::fabs(dx) < 1e-9) {
    rect(a.x - half, std::min(a.y, b.y), a.x + half, std::max(a.y, b.y));
    return;
  }
  if (std::fabs(dx) >= std::fabs(dy)) {
    // Mostly horizontal: one vertical run per column, its height the weight
    // measured across the line.
    if (b.x < a.x) std::swap(a, b);
    const double m = dy / dx;
    const double h = weight * len / std::fabs(dx) / 2;
    for (long long x = firstCentre(a.x), xe = lastCentre(b.x); x <= xe; ++x) {
      const double yc = a.y + (double(x) + 0.5 - a.x) * m;
      long long y0 = firstCentre(yc - h), y1 = lastCentre(yc + h);
      if (y1 < y0) y0 = y1 = static_cast<long long>(std::floor(yc));
      column(x, y0, y1);
    }
  } else {
    if (b.y < a.y) std::swap(a, b);
    const double m = dx / dy;
    const double w = weight * len / std::fabs(dy) / 2;
    for (long long y = firstCentre(a.y), ye = lastCentre(b.y); y <= ye; ++y) {
      const double xc = a.x + (double(y) + 0.5 - a.y) * m;
      long long x0 = firstCentre(xc - w), x1 = lastCentre(xc + w);
      if (x1 < x0) x0 = x1 = static_cast<long long>(std::floor(xc));
      span(y, x0, x1);
    }
  }
}

void Raster::polyline(const std::vector<Pt>& pts, double weight, bool closed) {
  for (std::size_t i = 1; i < pts.size(); ++i) line(pts[i - 1], pts[i], weight);
  if (closed && pts.size() > 2) line(pts.back(), pts.front(), weight);
}

void Raster::dashed(Pt a, Pt b, double weight, const std::vector<double>& pattern) {
  const double len = std::hypot(b.x - a.x, b.y - a.y);
  double period = 0;
  for (double p : pattern) period += p;
  if (pattern.empty() || period <= 0 || len <= 0) {
    line(a, b, weight);
    return;
  }
  const double ux = (b.x - a.x) / len, uy = (b.y - a.y) / len;
  double t = 0;
  for (std::size_t i = 0; t < len; i = (i + 1) % pattern.size()) {
    const double end = std::min(len, t + pattern[i]);
    if (i % 2 == 0) line({a.x + ux * t, a.y + uy * t}, {a.x + ux * end, a.y + uy * end}, weight);
    t += std::max(pattern[i], 0.5);
  }
}

void Raster::circle(Pt c, double r, double weight) {
  weight = std::max(weight, 1.0);
  const double ro = r + weight / 2, ri = std::max(0.0, r - weight / 2);
  for (long long y = firstCentre(c.y - ro), ye = lastCentre(c.y + ro); y <= ye; ++y) {
    const double d = double(y) + 0.5 - c.y;
    const double xo = std::sqrt(std::max(0.0, ro * ro - d * d));
    if (std::fabs(d) < ri) {
      const double xi = std::sqrt(ri * ri - d * d);
      span(y, firstCentre(c.x - xo), lastCentre(c.x - xi));
      span(y, firstCentre(c.x + xi), lastCentre(c.x + xo));
    } else {
      span(y, firstCentre(c.x - xo), lastCentre(c.x + xo));
    }
  }
}

void Raster::disk(Pt c, double r) {
  if (r < 0.5) {
    rect(c.x - 0.5, c.y - 0.5, c.x + 0.5, c.y + 0.5);
    return;
  }
  for (long long y = firstCentre(c.y - r), ye = lastCentre(c.y + r); y <= ye; ++y) {
    const double d = double(y) + 0.5 - c.y;
    const double xo = std::sqrt(std::max(0.0, r * r - d * d));
    span(y, firstCentre(c.x - xo), lastCentre(c.x + xo));
  }
}

void Raster::arc(Pt c, double r, double a0, double a1, double weight) {
  if (a1 < a0) std::swap(a0, a1);
  const int steps = std::max(4, static_cast<int>(std::ceil(r * (a1 - a0) / 4.0)));
  std::vector<Pt> pts;
  pts.reserve(std::size_t(steps) + 1);
  for (int i = 0; i <= steps; ++i) {
    const double a = a0 + (a1 - a0) * i / steps;
    pts.push_back({c.x + r * std::cos(a), c.y - r * std::sin(a)});
  }
  polyline(pts, weight);
}

void Raster::fill(const std::vector<Pt>& pts) {
  if (pts.size() < 3) return;
  double ymin = pts[0].y, ymax = pts[0].y;
  for (const Pt& p : pts) {
    ymin = std::min(ymin, p.y);
    ymax = std::max(ymax, p.y);
  }
  std::vector<double> xs;
  for (long long y = firstCentre(ymin), ye = lastCentre(ymax); y <= ye; ++y) {
    const double yc = double(y) + 0.5;
    xs.clear();
    for (std::size_t i = 0; i < pts.size(); ++i) {
      const Pt& p = pts[i];
      const Pt& q = pts[(i + 1) % pts.size()];
      if ((p.y <= yc) != (q.y <= yc)) xs.push_back(p.x + (yc - p.y) * (q.x - p.x) / (q.y - p.y));
    }
    std::sort(xs.begin(), xs.end());
    for (std::size_t i = 0; i + 1 < xs.size(); i += 2)
      span(y, firstCentre(xs[i]), lastCentre(xs[i + 1]));
  }
}

void Raster::hatchRect(double x0, double y0, double x1, double y1, double angle, double gap,
                       double weight) {
  if (x1 < x0) std::swap(x0, x1);
  if (y1 < y0) std::swap(y0, y1);
  gap = std::max(gap, 2.0);
  // Lines are n.p = k*gap for the unit normal n; each is clipped to the box.
  const double nx = -std::sin(angle), ny = -std::cos(angle);
  const double dx = std::cos(angle), dy = -std::sin(angle);
  const double corners[4] = {nx * x0 + ny * y0, nx * x1 + ny * y0, nx * x0 + ny * y1,
                             nx * x1 + ny * y1};
  const double lo = *std::min_element(corners, corners + 4);
  const double hi = *std::max_element(corners, corners + 4);
  for (double k = std::ceil(lo / gap) * gap; k <= hi; k += gap) {
    const Pt base{nx * k, ny * k};
    double t0 = -1e18, t1 = 1e18;
    const auto clip = [&](double p, double d, double mn, double mx) {
      if (std::fabs(d) < 1e-12) return p >= mn && p <= mx;
      double ta = (mn - p) / d, tb = (mx - p) / d;
      if (ta > tb) std::swap(ta, tb);
      t0 = std::max(t0, ta);
      t1 = std::min(t1, tb);
      return t0 <= t1;
    };
    if (!clip(base.x, dx, x0, x1) || !clip(base.y, dy, y0, y1)) continue;
    line({base.x + dx * t0, base.y + dy * t0}, {base.x + dx * t1, base.y + dy * t1}, weight);
  }
}

void Raster::hatchDisk(Pt c, double r, double hole, double angle, double gap, double weight) {
  gap = std::max(gap, 2.0);
  const double nx = -std::sin(angle), ny = -std::cos(angle);
  const double dx = std::cos(angle), dy = -std::sin(angle);
  for (double k = -std::floor(r / gap) * gap; k <= r; k += gap) {
    const Pt m{c.x + nx * k, c.y + ny * k};
    const double ho = std::sqrt(std::max(0.0, r * r - k * k));
    if (std::fabs(k) < hole) {
      const double hi = std::sqrt(hole * hole - k * k);
      line({m.x - dx * ho, m.y - dy * ho}, {m.x - dx * hi, m.y - dy * hi}, weight);
      line({m.x + dx * hi, m.y + dy * hi}, {m.x + dx * ho, m.y + dy * ho}, weight);
    } else {
      line({m.x - dx * ho, m.y - dy * ho}, {m.x + dx * ho, m.y + dy * ho}, weight);
    }
  }
}

}  // namespace hv::drawgen
