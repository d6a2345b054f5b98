// Lays out an engineering sheet: frame with zones, title block, revision
// block, parts list, general notes, and a grid of views. All sizes are
// physical (inches times dpi) so resolution changes only the sampling.
#include <algorithm>
#include <cmath>
#include <string>

#include "tools/drawgen/drawgen.h"
#include "tools/drawgen/raster.h"
#include "tools/drawgen/rng.h"
#include "tools/drawgen/stroke_font.h"

namespace hv::drawgen {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Box {
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  double w() const { return x1 - x0; }
  double h() const { return y1 - y0; }
};

const char* const kWords[] = {
    "BOLT",      "NUT",       "WASHER",  "STEEL",    "ALUMINUM", "BRACKET", "SHAFT",  "HOUSING",
    "COVER",     "FLANGE",    "GASKET",  "SPACER",   "BUSHING",  "PIN",     "KEY",    "PLATE",
    "WELD",      "GRIND",     "FLUSH",   "TYP",      "THRU",     "EQ SP",   "MAX",    "MIN",
    "REF",       "BREAK",     "EDGES",   "DEBURR",   "FINISH",   "PAINT",   "PRIME",  "ANODIZE",
    "HEAT",      "TREAT",     "HARDEN",  "TO",       "RC",       "AS",      "SHOWN",  "SEE",
    "DETAIL",    "SECTION",   "VIEW",    "SHEET",    "ZONE",     "PER",     "SPEC",   "MIL",
    "ASSEMBLY",  "TORQUE",    "INSTALL", "LOCKWIRE", "SEAL",     "TAPPED",  "DRILL",  "REAM",
    "CHAMFER",   "RADIUS",    "FILLET",  "SURFACE",  "ROUGHNESS", "DATUM", "PARALLEL", "FLAT",
    "TOLERANCE", "DIMENSION", "INCHES",  "UNLESS",   "OTHERWISE", "NOTED", "MARK",   "PART",
};

const char* const kTitles[] = {"PUMP HOUSING ASSEMBLY", "GEARBOX COVER",  "MOUNTING BRACKET",
                               "DRIVE SHAFT DETAILS",   "VALVE BODY",     "FRAME WELDMENT",
                               "HYDRAULIC MANIFOLD",    "BEARING RETAINER"};

class Sheet {
 public:
  Sheet(Bitmap& bm, double dpi, std::uint64_t seed)
      : r_(bm), rng_(seed), dpi_(dpi), w_(bm.width), h_(bm.height) {
    // Layout shrinks on sheets smaller than A size; line weights stay.
    k_ = std::clamp(std::min(w_, h_) / dpi_ / 8.5, 0.2, 1.0);
    thin_ = std::max(1.0, 0.0035 * dpi_);
    medium_ = std::max(1.0, 0.006 * dpi_);
    thick_ = std::max(1.0, 0.0075 * dpi_);
  }

  void draw() {
    const Box inner = frame();
    if (inner.w() < in(0.5) || inner.h() < in(0.5)) {
      speckle();
      return;
    }
    const double tbw = std::min(in(7.0 * k_), inner.w() * 0.45);
    const double tbh = std::min(in(2.75 * k_), inner.h() * 0.3);
    const Box tb{inner.x1 - tbw, inner.y1 - tbh, inner.x1, inner.y1};
    titleBlock(tb);
    const Box rev{tb.x0, inner.y0, inner.x1, inner.y0 + std::min(in(1.6 * k_), inner.h() * 0.15)};
    revisionBlock(rev);
    const Box parts{tb.x0, tb.y0 - std::min(inner.h() * 0.3, in(8.0 * k_)), tb.x1, tb.y0};
    partsList(parts);
    // General notes stand left of the title block in a column about ten
    // inches wide, the measure of a readable note, not across the sheet.
    const double notesW = std::min(in(10.0 * k_), tb.x0 - inner.x0 - in(0.5 * k_));
    const Box notesBox{tb.x0 - in(0.3 * k_) - notesW, tb.y0, tb.x0 - in(0.3 * k_),
                       inner.y1 - in(0.1 * k_)};
    notes(notesBox);
    views(Box{inner.x0, rev.y1 + in(0.2 * k_), tb.x0 - in(0.2 * k_), tb.y0 - in(0.2 * k_)});
    speckle();
  }

 private:
  double in(double inches) const { return inches * dpi_; }

  std::string word() { return rng_.pick(kWords); }
  std::string number(int intDigits, int decimals) {
    std::string s = std::to_string(rng_.range(0, int(std::pow(10, intDigits)) - 1));
    if (decimals > 0) {
      std::string d = std::to_string(rng_.range(0, int(std::pow(10, decimals)) - 1));
      s.push_back('.');
      s.append(std::size_t(decimals) - d.size(), '0');
      s.append(d);
    }
    return s;
  }
  std::string sentence(std::size_t maxChars) {
    std::string s;
    while (s.size() < maxChars) {
      std::string w = rng_.chance(0.2) ? number(rng_.range(1, 2), rng_.range(0, 3)) : word();
      if (s.size() + w.size() + 1 > maxChars) break;
      if (!s.empty()) s += ' ';
      s += w;
    }
    return s;
  }

  void text(Pt at, const std::string& s, double heightIn, double angle = 0) {
    TextStyle st;
    st.height = in(heightIn);
    st.weight = std::max(1.0, st.height * 0.12);
    st.angle = angle;
    drawText(r_, at, s, st);
  }
  void centredText(Pt centre, const std::string& s, double heightIn) {
    const double wpx = textWidth(s, in(heightIn)) - in(heightIn) / 3;
    text({centre.x - wpx / 2, centre.y - in(heightIn) / 2}, s, heightIn);
  }
  void box(const Box& b, double weight) {
    r_.polyline({{b.x0, b.y0}, {b.x1, b.y0}, {b.x1, b.y1}, {b.x0, b.y1}}, weight, true);
  }

  Box frame() {
    const double outer = in(0.25 * k_), border = in(0.75 * k_);
    const Box o{outer, outer, w_ - outer, h_ - outer};
    const Box i{border, border, w_ - border, h_ - border};
    if (i.w() <= 0 || i.h() <= 0) return {};
    box(o, thin_);
    box(i, std::max(1.0, 0.02 * dpi_));
    // Zones: numbers along the top and bottom counting from the right,
    // letters up the sides counting from the bottom.
    const int cols = std::clamp(int(std::lround(i.w() / in(5.5))), 2, 16);
    const int rows = std::clamp(int(std::lround(i.h() / in(4.25))), 2, 20);
    const double th = 0.16 * k_;
    for (int c = 0; c < cols; ++c) {
      const double x = i.x0 + i.w() * c / cols, xm = i.x0 + i.w() * (c + 0.5) / cols;
      if (c > 0) {
        r_.line({x, o.y0}, {x, i.y0}, medium_);
        r_.line({x, i.y1}, {x, o.y1}, medium_);
      }
      const std::string label = std::to_string(cols - c);
      centredText({xm, (o.y0 + i.y0) / 2}, label, th);
      centredText({xm, (o.y1 + i.y1) / 2}, label, th);
    }
    for (int rr = 0; rr < rows; ++rr) {
      const double y = i.y0 + i.h() * rr / rows, ym = i.y0 + i.h() * (rr + 0.5) / rows;
      if (rr > 0) {
        r_.line({o.x0, y}, {i.x0, y}, medium_);
        r_.line({i.x1, y}, {o.x1, y}, medium_);
      }
      const std::string label(1, char('A' + (rows - 1 - rr) % 26));
      centredText({(o.x0 + i.x0) / 2, ym}, label, th);
      centredText({(o.x1 + i.x1) / 2, ym}, label, th);
    }
    return i;
  }

  // A ruled table: each row a height fraction and a list of column fractions.
  void cell(const Box& c, const std::string& label, const std::string& value, double valueIn) {
    const double pad = in(0.04 * k_);
    text({c.x0 + pad, c.y0 + pad}, label, 0.06 * k_);
    const double maxH = std::min(valueIn, (c.h() - 3 * pad) / dpi_ - 0.06 * k_);
    if (maxH * dpi_ < 4) return;
    std::string v = value;
    const std::size_t fit = std::size_t(std::max(0.0, (c.w() - 2 * pad) / in(maxH)));
    if (v.size() > fit) v.resize(fit);
    text({c.x0 + pad * 2, c.y1 - pad - in(maxH)}, v, maxH);
  }

  void titleBlock(const Box& b) {
    box(b, thick_);
    struct Row {
      double h;
      std::vector<double> cols;
    };
    const Row rows[] = {{0.25, {1.0}}, {0.2, {0.6, 1.0}}, {0.2, {0.25, 0.5, 0.75, 1.0}},
                        {0.2, {0.15, 0.55, 0.7, 1.0}}, {0.15, {0.3, 0.6, 1.0}}};
    const char* const labels[] = {"TITLE", "COMPANY", "DRAWN",  "CHECKED", "SIZE",   "CAGE CODE",
                                  "DWG NO", "REV",    "SCALE",  "WEIGHT", "SHEET",  "APPROVED"};
    double y = b.y0;
    int li = 0;
    for (const Row& row : rows) {
      const double y1 = y + b.h() * row.h;
      if (y > b.y0) r_.line({b.x0, y}, {b.x1, y}, medium_);
      double x = b.x0;
      for (double f : row.cols) {
        const double x1 = b.x0 + b.w() * f;
        if (x1 < b.x1 - 1) r_.line({x1, y}, {x1, y1}, medium_);
        std::string value;
        if (li == 0) value = rng_.pick(kTitles);
        else if (li == 1) value = "KESTREL FABRICATION CO";
        else if (li == 6) value = std::to_string(rng_.range(1000000, 9999999));
        else value = sentence(std::size_t(rng_.range(3, 12)));
        cell({x, y, x1, y1}, labels[li % 12], value, li == 0 ? 0.25 * k_ : 0.12 * k_);
        ++li;
        x = x1;
      }
      y = y1;
    }
  }

  void table(const Box& b, const std::vector<double>& cols, double rowIn, double textIn) {
    box(b, thick_);
    const double rowH = in(rowIn);
    for (double f : cols) r_.line({b.x0 + b.w() * f, b.y0}, {b.x0 + b.w() * f, b.y1}, thin_);
    int n = 0;
    for (double y = b.y0; y + rowH <= b.y1 + 0.5; y += rowH, ++n) {
      if (y > b.y0) r_.line({b.x0, y}, {b.x1, y}, thin_);
      double x = b.x0;
      for (std::size_t c = 0; c <= cols.size(); ++c) {
        const double x1 = c < cols.size() ? b.x0 + b.w() * cols[c] : b.x1;
        const std::size_t fit = std::size_t(std::max(0.0, (x1 - x) / in(textIn) - 1));
        std::string s = n == 0 ? word() : (c == 0 ? std::to_string(n) : sentence(fit));
        if (s.size() > fit) s.resize(fit);
        text({x + in(textIn) * 0.5, y + (rowH - in(textIn)) / 2}, s, textIn);
        x = x1;
      }
    }
  }

  void revisionBlock(const Box& b) {
    if (b.h() < in(0.3)) return;
    table(b, {0.1, 0.65, 0.82}, 0.25 * k_, 0.08 * k_);
  }

  void partsList(const Box& b) {
    if (b.h() < in(0.5)) return;
    table({b.x0, b.y0 + in(0.2 * k_), b.x1, b.y1}, {0.08, 0.3, 0.85}, 0.22 * k_, 0.08 * k_);
  }

  void notes(const Box& b) {
    if (b.w() < in(1.0) || b.h() < in(0.5)) return;
    const double th = 0.1 * k_, pitch = in(0.17 * k_);
    text({b.x0, b.y0 + in(0.1 * k_)}, "NOTES:", th * 1.2);
    const std::size_t perLine = std::size_t(b.w() / in(th)) - 4;
    int n = 1;
    for (double y = b.y0 + in(0.1 * k_) + 2 * pitch; y + in(th) < b.y1; y += pitch) {
      const bool first = rng_.chance(0.4);
      std::string s = first ? std::to_string(n++) + ". " : "   ";
      s += sentence(perLine - s.size() - std::size_t(rng_.range(0, int(perLine / 3))));
      text({b.x0, y}, s, th);
    }
  }

  // --- views -----------------------------------------------------------------

  void arrowhead(Pt tip, double ux, double uy) {
    const double len = in(0.12 * k_), half = in(0.022 * k_);
    const Pt base{tip.x - ux * len, tip.y - uy * len};
    r_.fill({tip, {base.x - uy * half, base.y + ux * half}, {base.x + uy * half, base.y - ux * half}});
  }

  // Aligned dimension between two points, offset to one side.
  void dimension(Pt a, Pt b, double offset, const std::string& value) {
    const double len = std::hypot(b.x - a.x, b.y - a.y);
    if (len < in(0.3)) return;
    const double ux = (b.x - a.x) / len, uy = (b.y - a.y) / len;
    const double nx = uy, ny = -ux;
    const Pt da{a.x + nx * offset, a.y + ny * offset}, db{b.x + nx * offset, b.y + ny * offset};
    const double gap = in(0.06 * k_), over = in(0.1 * k_) * (offset < 0 ? -1 : 1);
    const double s = offset < 0 ? -1 : 1;
    r_.line({a.x + nx * gap * s, a.y + ny * gap * s}, {da.x + nx * over, da.y + ny * over}, thin_);
    r_.line({b.x + nx * gap * s, b.y + ny * gap * s}, {db.x + nx * over, db.y + ny * over}, thin_);
    r_.line(da, db, thin_);
    arrowhead(da, -ux, -uy);
    arrowhead(db, ux, uy);
    // Text reads left to right or bottom to top.
    double angle = std::atan2(-uy, ux);
    if (angle > kPi / 2 + 1e-9) angle -= kPi;
    if (angle <= -kPi / 2 + 1e-9) angle += kPi;
    const double th = in(0.1 * k_);
    const double tw = textWidth(value, th);
    const double cx = std::cos(angle), sy = -std::sin(angle);
    const Pt mid{(da.x + db.x) / 2, (da.y + db.y) / 2};
    // Text sits above the line: its bottom edge a little off the line.
    const double up = th * 1.3;
    const Pt origin{mid.x - cx * tw / 2 + sy * up, mid.y - sy * tw / 2 - cx * up};
    TextStyle st{th, std::max(1.0, th * 0.12), angle};
    drawText(r_, origin, value, st);
  }

  void leader(Pt target, Pt textAt, const std::string& s) {
    const double len = std::hypot(target.x - textAt.x, target.y - textAt.y);
    if (len < 1) return;
    r_.line(textAt, target, thin_);
    arrowhead(target, (target.x - textAt.x) / len, (target.y - textAt.y) / len);
    const double th = in(0.1 * k_);
    const bool right = textAt.x >= target.x;
    r_.line(textAt, {textAt.x + (right ? 1 : -1) * th, textAt.y}, thin_);
    const double tw = textWidth(s, th);
    text({right ? textAt.x + th * 1.5 : textAt.x - th * 1.5 - tw, textAt.y - th / 2}, s, 0.1 * k_);
  }

  void centreMark(Pt c, double r) {
    const std::vector<double> dash{in(0.25), in(0.06), in(0.06), in(0.06)};
    r_.dashed({c.x - r * 1.3, c.y}, {c.x + r * 1.3, c.y}, thin_, dash);
    r_.dashed({c.x, c.y - r * 1.3}, {c.x, c.y + r * 1.3}, thin_, dash);
  }

  void plateView(const Box& v) {
    const double rad = std::min(v.w(), v.h()) * 0.08;
    const Box p{v.x0 + v.w() * 0.15, v.y0 + v.h() * 0.15, v.x1 - v.w() * 0.1, v.y1 - v.h() * 0.2};
    r_.line({p.x0 + rad, p.y0}, {p.x1 - rad, p.y0}, thick_);
    r_.line({p.x0 + rad, p.y1}, {p.x1 - rad, p.y1}, thick_);
    r_.line({p.x0, p.y0 + rad}, {p.x0, p.y1 - rad}, thick_);
    r_.line({p.x1, p.y0 + rad}, {p.x1, p.y1 - rad}, thick_);
    r_.arc({p.x1 - rad, p.y0 + rad}, rad, 0, kPi / 2, thick_);
    r_.arc({p.x0 + rad, p.y0 + rad}, rad, kPi / 2, kPi, thick_);
    r_.arc({p.x0 + rad, p.y1 - rad}, rad, kPi, 1.5 * kPi, thick_);
    r_.arc({p.x1 - rad, p.y1 - rad}, rad, 1.5 * kPi, 2 * kPi, thick_);
    const int nx = rng_.range(2, 5), ny = rng_.range(2, 3);
    const double hr = std::min(p.w() / nx, p.h() / ny) * rng_.uniform(0.1, 0.2);
    for (int i = 0; i < nx; ++i)
      for (int j = 0; j < ny; ++j) {
        const Pt c{p.x0 + p.w() * (i + 0.5) / nx, p.y0 + p.h() * (j + 0.5) / ny};
        r_.circle(c, hr, thick_);
        centreMark(c, hr);
      }
    // Hidden slot.
    const std::vector<double> hidden{in(0.12), in(0.06)};
    const double sy = p.y0 + p.h() * 0.5;
    r_.dashed({p.x0 + p.w() * 0.2, sy - hr}, {p.x1 - p.w() * 0.2, sy - hr}, medium_, hidden);
    r_.dashed({p.x0 + p.w() * 0.2, sy + hr}, {p.x1 - p.w() * 0.2, sy + hr}, medium_, hidden);
    dimension({p.x0, p.y1}, {p.x1, p.y1}, -in(0.5), number(2, 3));
    dimension({p.x0, p.y0}, {p.x0, p.y1}, -in(0.5), number(1, 3));
    dimension({p.x0 + p.w() * 0.5 / nx, p.y0}, {p.x0 + p.w() * 1.5 / nx, p.y0}, in(0.35),
              number(1, 2));
    leader({p.x0 + p.w() * (nx - 0.5) / nx + hr * 0.7, p.y0 + p.h() * 0.5 / ny - hr * 0.7},
           {p.x1 + in(0.2), v.y0 + in(0.3)},
           std::to_string(nx * ny) + "X " + number(0, 3) + " THRU");
  }

  void sectionView(const Box& v) {
    // A stepped shaft cut along its axis, hatched at 45 degrees.
    const double cy = (v.y0 + v.y1) / 2;
    const int steps = rng_.range(3, 6);
    double x = v.x0 + v.w() * 0.1;
    const double total = v.w() * 0.8;
    const double ang = rng_.chance(0.5) ? kPi / 4 : 3 * kPi / 4;
    for (int s = 0; s < steps; ++s) {
      const double sw = total / steps, sh = v.h() * rng_.uniform(0.15, 0.35);
      const Box b{x, cy - sh, x + sw, cy + sh};
      box(b, thick_);
      const double bore = sh * rng_.uniform(0.2, 0.5);
      r_.hatchRect(b.x0, b.y0, b.x1, cy - bore, ang, in(0.06), thin_);
      r_.hatchRect(b.x0, cy + bore, b.x1, b.y1, ang, in(0.06), thin_);
      r_.line({b.x0, cy - bore}, {b.x1, cy - bore}, thick_);
      r_.line({b.x0, cy + bore}, {b.x1, cy + bore}, thick_);
      if (s % 2 == 0) dimension({b.x1, b.y0}, {b.x1, b.y1}, -in(0.3), number(1, 3) + " DIA");
      x += sw;
    }
    r_.dashed({v.x0 + v.w() * 0.05, cy}, {v.x1 - v.w() * 0.05, cy}, thin_,
              {in(0.5), in(0.06), in(0.08), in(0.06)});
    dimension({v.x0 + v.w() * 0.1, v.y1 - v.h() * 0.12}, {v.x0 + v.w() * 0.9, v.y1 - v.h() * 0.12},
              -in(0.2), number(2, 3));
  }

  void flangeView(const Box& v) {
    const Pt c{(v.x0 + v.x1) / 2, (v.y0 + v.y1) / 2};
    const double ro = std::min(v.w(), v.h()) * 0.38;
    const double ri = ro * rng_.uniform(0.3, 0.45);
    r_.circle(c, ro, thick_);
    r_.circle(c, ri, thick_);
    r_.hatchDisk(c, ri * 1.4, ri, rng_.uniform(0, kPi), in(0.07), thin_);
    r_.circle(c, ri * 1.4, medium_);
    const int holes = rng_.range(4, 12);
    const double bc = (ro + ri * 1.4) / 2, hr = std::min(ro - bc, bc - ri * 1.4) * 0.5;
    r_.arc(c, bc, 0, 2 * kPi, thin_);
    const double phase = rng_.uniform(0, kPi);
    for (int i = 0; i < holes; ++i) {
      const double a = phase + 2 * kPi * i / holes;
      const Pt h{c.x + bc * std::cos(a), c.y - bc * std::sin(a)};
      r_.circle(h, hr, medium_);
      // Radial centre line through each hole: lines at all angles.
      r_.line({c.x + (ri * 1.5) * std::cos(a), c.y - (ri * 1.5) * std::sin(a)},
              {c.x + (ro * 1.05) * std::cos(a), c.y - (ro * 1.05) * std::sin(a)}, thin_);
    }
    // Angular dimension between two holes.
    const double a0 = phase, a1 = phase + 2 * kPi / holes, rd = ro * 1.12;
    r_.arc(c, rd, a0, a1, thin_);
    arrowhead({c.x + rd * std::cos(a0), c.y - rd * std::sin(a0)}, std::sin(a0), std::cos(a0));
    arrowhead({c.x + rd * std::cos(a1), c.y - rd * std::sin(a1)}, -std::sin(a1), -std::cos(a1));
    const double am = (a0 + a1) / 2;
    text({c.x + rd * 1.08 * std::cos(am), c.y - rd * 1.08 * std::sin(am)},
         std::to_string(360 / holes) + " DEG", 0.1 * k_);
    dimension({c.x - ro, c.y + ro}, {c.x + ro, c.y + ro}, -in(0.25), number(1, 3) + " DIA");
    leader({c.x + ri * 0.7, c.y - ri * 0.7}, {c.x + ro * 0.9, c.y - ro * 1.05},
           number(1, 3) + " BORE");
  }

  void trussView(const Box& v) {
    // A framework of members between nodes: thin lines at every angle.
    const int cols = rng_.range(4, 9);
    const double y0 = v.y0 + v.h() * 0.25, y1 = v.y1 - v.h() * 0.25;
    std::vector<Pt> top, bottom;
    for (int i = 0; i <= cols; ++i) {
      const double x = v.x0 + v.w() * (0.08 + 0.84 * i / cols);
      const double rise = (y1 - y0) * 0.5 * std::sin(kPi * i / cols);
      top.push_back({x, y0 + (y1 - y0) * 0.5 - rise});
      bottom.push_back({x, y1});
    }
    r_.polyline(top, thick_);
    r_.polyline(bottom, thick_);
    for (int i = 0; i <= cols; ++i) {
      r_.line(top[std::size_t(i)], bottom[std::size_t(i)], medium_);
      if (i < cols) r_.line(top[std::size_t(i)], bottom[std::size_t(i + 1)], medium_);
      if (i > 0) r_.line(top[std::size_t(i)], bottom[std::size_t(i - 1)], thin_);
      r_.disk(top[std::size_t(i)], in(0.03));
      r_.disk(bottom[std::size_t(i)], in(0.03));
    }
    // Numbered balloons on a few members.
    for (int i = 0; i < 3; ++i) {
      const std::size_t k = std::size_t(rng_.range(0, cols - 1));
      const Pt m{(top[k].x + bottom[k + 1].x) / 2, (top[k].y + bottom[k + 1].y) / 2};
      const Pt b{m.x + in(0.6), v.y0 + in(0.3) + in(0.45) * i};
      r_.line(m, b, thin_);
      r_.disk(m, in(0.015));
      r_.circle(b, in(0.16 * k_), thin_);
      centredText(b, std::to_string(rng_.range(1, 40)), 0.12 * k_);
    }
    dimension(bottom.front(), bottom.back(), -in(0.35), number(2, 2));
    dimension(top[std::size_t(cols / 2)], bottom[std::size_t(cols / 2)], in(0.3), number(1, 2));
  }

  void schematicView(const Box& v) {
    // Blocks joined by orthogonal runs with junction dots and tags.
    const int n = rng_.range(4, 8);
    std::vector<Pt> pins;
    for (int i = 0; i < n; ++i) {
      const double bw = in(rng_.uniform(0.6, 1.2)), bh = in(rng_.uniform(0.4, 0.8));
      const double x = rng_.uniform(v.x0 + in(0.2), std::max(v.x0 + in(0.2), v.x1 - bw - in(0.2)));
      const double y = rng_.uniform(v.y0 + in(0.2), std::max(v.y0 + in(0.2), v.y1 - bh - in(0.3)));
      box({x, y, x + bw, y + bh}, medium_);
      text({x + in(0.08), y + in(0.08)}, word(), 0.08);
      text({x + in(0.08), y + bh - in(0.16)}, number(3, 0), 0.07);
      pins.push_back({x + bw, y + bh / 2});
    }
    for (std::size_t i = 1; i < pins.size(); ++i) {
      const Pt a = pins[i - 1], b = pins[i];
      const double mx = std::max(a.x, b.x) + in(0.2);
      r_.polyline({a, {mx, a.y}, {mx, b.y}, b}, thin_);
      r_.disk({mx, a.y}, in(0.025));
    }
  }

  // A data table (hole chart, wire list) filling most of a view cell.
  void tableView(const Box& v) {
    const double rowIn = 0.2 * k_;
    const double h = std::floor(v.h() * 0.85 / in(rowIn)) * in(rowIn);
    if (h < in(rowIn)) return;
    table({v.x0, v.y0 + v.h() * 0.1, v.x1, v.y0 + v.h() * 0.1 + h}, {0.1, 0.25, 0.45, 0.7}, rowIn,
          0.08 * k_);
  }

  // A few lines of small lettering in a corner of a view.
  void localNotes(const Box& v) {
    const double th = 0.08 * k_, pitch = in(0.13 * k_);
    const int lines = rng_.range(2, 5);
    const std::size_t chars = std::size_t(std::max(0.0, v.w() * 0.45 / in(th)));
    const double y0 = v.y0 + in(0.05);
    for (int i = 0; i < lines; ++i) text({v.x0, y0 + pitch * i}, sentence(chars), th);
  }

  void views(const Box& area) {
    if (area.w() < in(1.5) || area.h() < in(1.5)) return;
    const int cols = std::max(1, int(std::lround(area.w() / in(6.5))));
    const int rows = std::max(1, int(std::lround(area.h() / in(5.5))));
    const char* const labels[] = {"SECTION", "DETAIL", "VIEW"};
    char letter = 'A';
    for (int j = 0; j < rows; ++j)
      for (int i = 0; i < cols; ++i) {
        const Box cellBox{area.x0 + area.w() * i / cols, area.y0 + area.h() * j / rows,
                          area.x0 + area.w() * (i + 1) / cols, area.y0 + area.h() * (j + 1) / rows};
        const double pad = std::min(cellBox.w(), cellBox.h()) * 0.08;
        const Box v{cellBox.x0 + pad, cellBox.y0 + pad, cellBox.x1 - pad, cellBox.y1 - pad * 2};
        switch (rng_.range(0, 5)) {
          case 5: tableView(v); break;
          case 0: plateView(v); break;
          case 1: sectionView(v); break;
          case 2: flangeView(v); break;
          case 3: trussView(v); break;
          default: schematicView(v); break;
        }
        if (rng_.chance(0.6)) localNotes(v);
        std::string label = std::string(rng_.pick(labels)) + " " + letter + "-" + letter;
        letter = letter == 'Z' ? 'A' : char(letter + 1);
        centredText({(v.x0 + v.x1) / 2, cellBox.y1 - pad * 1.2}, label, 0.16 * k_);
        centredText({(v.x0 + v.x1) / 2, cellBox.y1 - pad * 1.2 + in(0.25 * k_)},
                    "SCALE " + std::to_string(rng_.range(1, 4)) + ":1", 0.1 * k_);
      }
  }

  void speckle() {
    // Scanner dirt: mostly single pixels, some small blobs, a density per
    // square inch independent of resolution.
    const double area = (w_ / dpi_) * (h_ / dpi_);
    const long long count = std::llround(area * 4.0);
    for (long long i = 0; i < count; ++i) {
      const Pt p{rng_.uniform(0, w_), rng_.uniform(0, h_)};
      const double kind = rng_.unit();
      if (kind < 0.6) r_.rect(p.x, p.y, p.x + 1, p.y + 1);
      else if (kind < 0.9) r_.rect(p.x, p.y, p.x + 2, p.y + rng_.range(1, 2));
      else r_.disk(p, rng_.uniform(1.0, std::max(1.5, 0.006 * dpi_)));
    }
  }

  Raster r_;
  Rng rng_;
  double dpi_, w_, h_;
  double k_ = 1, thin_ = 1, medium_ = 2, thick_ = 3;
};

}  // namespace

Bitmap generateDrawing(std::uint32_t width, std::uint32_t height, std::uint32_t dpi,
                       std::uint64_t seed) {
  Bitmap bm(width, height);
  if (width == 0 || height == 0) return bm;
  Sheet sheet(bm, dpi == 0 ? 200.0 : double(dpi), seed);
  sheet.draw();
  return bm;
}

SheetSize sheetSize(char letter, std::uint32_t dpi) {
  struct Inches {
    char letter;
    std::uint32_t w10, h10;  // tenths of an inch
  };
  constexpr Inches kSheets[] = {
      {'A', 110, 85}, {'B', 170, 110}, {'C', 220, 170}, {'D', 340, 220}, {'E', 440, 340}};
  if (letter >= 'a' && letter <= 'z') letter = char(letter - 'a' + 'A');
  for (const Inches& s : kSheets)
    if (s.letter == letter)
      return {std::uint32_t(std::min<std::uint64_t>((std::uint64_t(s.w10) * dpi + 5) / 10, 0xFFFFFFFFu)),
              std::uint32_t(std::min<std::uint64_t>((std::uint64_t(s.h10) * dpi + 5) / 10, 0xFFFFFFFFu))};
  return {};
}

}  // namespace hv::drawgen
