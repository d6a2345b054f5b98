// hvtool render: what a window of a given size shows of a drawing, painted
// through the engine's display calls into a window held in memory.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/display.h"
#include "engine/display_math.h"
#include "engine/display_surface.h"
#include "engine/grx_status.h"
#include "engine/image_handle.h"
#include "tools/hvtool/commands.h"
#include "tools/hvtool/image_writer.h"

namespace hv::tool {
namespace {

constexpr const char* kRenderUsage =
    "usage: hvtool render FILE OUT.pbm|OUT.png [--fit WxH | --window WxH --scale XD:XN[,YD:YN]]\n"
    "                     [--rotate 0|900|1800|2700] [--invert] [--rect L,T,R,B] [--fast] [--from-memory] [--png]\n"
    "Writes what a window shows of the drawing (1-bit PBM, or PNG for a .png name or with --png):\n"
    "  --fit WxH        a window of W x H pixels with the drawing fitted to it\n"
    "  --window WxH     a window of W x H pixels at the scale of --scale\n"
    "  --scale XD:XN    display = image x D / N (e.g. 1:4 shows a quarter size);\n"
    "                   YD:YN for the vertical direction, else the same\n"
    "  --rotate R       view rotation in tenths of a degree\n"
    "  --invert         inverted view\n"
    "  --rect L,T,R,B   the view scrolled to this image rectangle; without --window\n"
    "                   the window is the rectangle's size (with --fit, the rectangle is fitted)\n"
    "  --fast           fast reduction (first line of each group)\n"
    "  --from-memory    load image memory and draw from it instead of the file\n"
    "  --png            write PNG whatever OUT is called (file manager thumbnails)\n"
    "Without --fit or --window the window shows the whole drawing.\n"
    "OUT may also be a device, a FIFO or - (standard output; PBM unless --png).\n";

bool parsePair(const std::string& text, char sep, long& a, long& b) {
  char* end = nullptr;
  a = std::strtol(text.c_str(), &end, 10);
  if (end == text.c_str() || *end != sep) return false;
  const char* second = end + 1;
  b = std::strtol(second, &end, 10);
  return end != second && *end == '\0';
}

bool parseScale(const std::string& text, std::uint8_t scale[4]) {
  std::string x = text, y = text;
  if (auto comma = text.find(','); comma != std::string::npos) {
    x = text.substr(0, comma);
    y = text.substr(comma + 1);
  }
  long xd, xn, yd, yn;
  if (!parsePair(x, ':', xd, xn) || !parsePair(y, ':', yd, yn)) return false;
  for (long v : {xd, xn, yd, yn})
    if (v < 1 || v > 255) return false;
  scale[0] = std::uint8_t(xd);
  scale[1] = std::uint8_t(xn);
  scale[2] = std::uint8_t(yd);
  scale[3] = std::uint8_t(yn);
  return true;
}

bool parseRect(const std::string& text, GrxRect& r) {
  long v[4];
  const char* p = text.c_str();
  for (int i = 0; i < 4; ++i) {
    char* end = nullptr;
    v[i] = std::strtol(p, &end, 10);
    if (end == p || (i < 3 ? *end != ',' : *end != '\0') || v[i] < 0 || v[i] > 65535) return false;
    p = end + 1;
  }
  r = {std::int32_t(v[0]), std::int32_t(v[1]), std::int32_t(v[2]), std::int32_t(v[3])};
  return r.left < r.right && r.top < r.bottom;
}

struct Options {
  std::string file, out;
  long width = 0, height = 0;
  bool fit = false, window = false, haveScale = false, haveRect = false;
  std::uint8_t scale[4] = {1, 1, 1, 1};
  int rotation = 0;
  bool invert = false, fast = false, fromMemory = false, png = false;
  GrxRect rect{};
};

// Returns "" or what is wrong with the command line.
std::string parse(const Args& args, Options& o) {
  if (args.size() < 2) return "FILE and OUT are required";
  o.file = args[0];
  o.out = args[1];
  for (std::size_t i = 2; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& v) {
      if (i + 1 >= args.size()) return false;
      v = args[++i];
      return true;
    };
    std::string v;
    if (a == "--fit" || a == "--window") {
      if (!value(v) || !parsePair(v, 'x', o.width, o.height) || o.width < 1 || o.height < 1 || o.width > 65535 ||
          o.height > 65535)
        return a + " needs WxH";
      (a == "--fit" ? o.fit : o.window) = true;
    } else if (a == "--scale") {
      if (!value(v) || !parseScale(v, o.scale)) return "--scale needs XD:XN[,YD:YN] with terms 1 to 255";
      o.haveScale = true;
    } else if (a == "--rotate") {
      if (!value(v)) return "--rotate needs 0, 900, 1800 or 2700";
      char* end = nullptr;
      long r = std::strtol(v.c_str(), &end, 10);
      if (*end != '\0' || (r != 0 && r != 900 && r != 1800 && r != 2700)) return "--rotate needs 0, 900, 1800 or 2700";
      o.rotation = int(r);
    } else if (a == "--rect") {
      if (!value(v) || !parseRect(v, o.rect)) return "--rect needs L,T,R,B with L < R and T < B";
      o.haveRect = true;
    } else if (a == "--invert") {
      o.invert = true;
    } else if (a == "--fast") {
      o.fast = true;
    } else if (a == "--from-memory") {
      o.fromMemory = true;
    } else if (a == "--png") {
      o.png = true;
    } else {
      return "unknown option " + a;
    }
  }
  if (o.fit && (o.window || o.haveScale)) return "--fit cannot go with --window or --scale";
  return "";
}

int fail(ImageHdl h, const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
  grxCloseImage(h);
  return 1;
}

}  // namespace

int cmdRender(const Args& args) {
  if (wantsHelp(args)) {
    std::fputs(kRenderUsage, stdout);
    return 0;
  }
  Options o;
  if (std::string error = parse(args, o); !error.empty()) {
    std::fprintf(stderr, "hvtool render: %s\n%s", error.c_str(), kRenderUsage);
    return 2;
  }
  unsigned options = GRX_OPEN_ONE_TO_ONE | (o.invert ? GRX_OPEN_INVERT : 0u) | (o.fast ? GRX_OPEN_FAST_REDUCTION : 0u);
  ImageHdl h = grxOpenImage(nullptr, o.file.c_str(), options, nullptr);
  if (h == nullptr) return 1;
  if (o.fromMemory && !grxUseImageMemory(h)) return fail(h, o.file + ": unable to load image memory");
  const std::uint32_t width = h->record->width, height = h->record->height;
  hv::engine::DisplayState& s = *h->current;
  s.rotation = o.rotation;
  std::copy(o.scale, o.scale + 4, s.scale);
  GrxRect area{0, 0, std::int32_t(width), std::int32_t(height)};
  if (o.haveRect) {
    area = o.rect;
    if (std::uint32_t(area.right) > width || std::uint32_t(area.bottom) > height)
      return fail(h, "hvtool render: --rect lies outside the " + std::to_string(width) + " x " +
                         std::to_string(height) + " image");
  }
  // The window: fitted, of a given size, or the size of what is shown.
  if (o.fit && !hv::engine::fitScale(std::uint32_t(area.right - area.left), std::uint32_t(area.bottom - area.top),
                                     std::int32_t(o.width), std::int32_t(o.height), o.rotation, s.scale))
    return fail(h, "hvtool render: cannot fit the drawing");
  s.displayX = s.displayY = 0;
  GrxRect shown;
  if (grxImageToDisplayRect(h, &shown, &area) != GRX_OK) return fail(h, "hvtool render: cannot map the rectangle");
  long ww = o.fit || o.window ? o.width : shown.right - shown.left;
  long wh = o.fit || o.window ? o.height : shown.bottom - shown.top;
  if (std::uint64_t(ww) * std::uint64_t(wh) > (std::uint64_t(1) << 34))
    return fail(h, "hvtool render: the window would exceed 2 GB; give --window or --fit");
  hv::engine::MemoryWindow window{std::int32_t(ww), std::int32_t(wh)};
  s.displayX = shown.left;
  s.displayY = shown.top;
  if (grxUpdateScrolling(&window, h, 1) != GRX_OK) return fail(h, "hvtool render: cannot set up the view");
  int status = grxDisplayImage(&window, nullptr, nullptr, h);
  if (status != 0) {
    std::fprintf(stderr, "%s: rendering failed with status %d (decoder result %d)\n", o.file.c_str(), status,
                 h->decodeResult);
    grxCloseImage(h);
    return 1;
  }
  grxCloseImage(h);
  PackedPicture picture{std::uint32_t(ww), std::uint32_t(wh), window.rowBytes(), window.pixels().data()};
  if (std::string error; !writePicture(o.out, picture, o.png, &error)) {
    std::fprintf(stderr, "Unable to write to %s\n", error.c_str());
    return 1;
  }
  return 0;
}

}  // namespace hv::tool
