#include "tools/drawgen/stroke_font.h"

#include <cmath>
#include <vector>

namespace hv::drawgen {

namespace {

// Each glyph is digit pairs "xy" (x 0..4 right, y 0..6 down from the cap
// line); '|' starts a new polyline.
struct Glyph {
  char ch;
  const char* strokes;
};

constexpr Glyph kGlyphs[] = {
    {'A', "062046|1434"},
    {'B', "0006|003041423303|3344453606"},
    {'C', "4130100105163645"},
    {'D', "00304145360600"},
    {'E', "40000646|0333"},
    {'F', "400006|0333"},
    {'G', "41301001051636454323"},
    {'H', "0006|4046|0343"},
    {'I', "1030|2026|1636"},
    {'J', "4045361605"},
    {'K', "0006|4003|1246"},
    {'L', "000646"},
    {'M', "0600234046"},
    {'N', "06004640"},
    {'O', "103041453616050110"},
    {'P', "06003041423303"},
    {'Q', "103041453616050110|2446"},
    {'R', "06003041423303|2346"},
    {'S', "413010010213334445361605"},
    {'T', "0040|2026"},
    {'U', "000516364540"},
    {'V', "002640"},
    {'W', "0016233640"},
    {'X', "0046|4006"},
    {'Y', "002340|2326"},
    {'Z', "00400646"},
    {'0', "103041453616050110|4105"},
    {'1', "112026|1636"},
    {'2', "01103041420646"},
    {'3', "01103041423323|334445361605"},
    {'4', "36300444"},
    {'5', "400002324345361605"},
    {'6', "413010010516364544331304"},
    {'7', "004016"},
    {'8', "103041423313020110|1304051636454433"},
    {'9', "423313020110304145361605"},
    {'-', "0333"},
    {'.', "1626"},
    {',', "2617"},
    {':', "2122|2526"},
    {'/', "0640"},
    {'=', "0242|0444"},
    {'+', "0343|2125"},
    {'(', "30121436"},
    {')', "10323416"},
    {'"', "1011|3031"},
    {'%', "0640|0011|3536"},
    {'#', "1016|3036|0242|0444"},
    {'*', "2125|0244|0442"},
    {'<', "400346"},
    {'>', "004306"},
    {'@', "4332231424434140301001051636"},
    {'\'', "2021"},
};

const char* strokesFor(char c) {
  if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  for (const Glyph& g : kGlyphs)
    if (g.ch == c) return g.strokes;
  return nullptr;
}

// Letters advance by 6 grid units (4 for the glyph, 2 of spacing); a grid
// unit is a sixth of the capital height.
constexpr double kAdvanceUnits = 6;
constexpr double kGridUnitsHigh = 6;

}  // namespace

double textWidth(std::string_view text, double height) {
  return double(text.size()) * height / kGridUnitsHigh * kAdvanceUnits;
}

double drawText(Raster& raster, Pt origin, std::string_view text, const TextStyle& style) {
  const double unit = style.height / kGridUnitsHigh;
  const double cx = std::cos(style.angle), sy = -std::sin(style.angle);
  // Grid (u, v): u along the baseline, v downward across it.
  const auto place = [&](double u, double v) {
    return Pt{origin.x + u * cx - v * sy, origin.y + u * sy + v * cx};
  };
  std::vector<Pt> pts;
  double pen = 0;
  for (char c : text) {
    if (const char* s = strokesFor(c)) {
      pts.clear();
      for (const char* p = s;; ++p) {
        if (*p == '|' || *p == '\0') {
          if (pts.size() == 1) pts.push_back(pts.front());
          raster.polyline(pts, style.weight);
          pts.clear();
          if (*p == '\0') break;
          continue;
        }
        const double gx = p[0] - '0', gy = p[1] - '0';
        pts.push_back(place(pen + gx * unit, gy * unit));
        ++p;
      }
    }
    pen += unit * kAdvanceUnits;
  }
  return pen;
}

}  // namespace hv::drawgen
