// Helpers of the printing tests (see print_test_support.h).
#include "desktop/tests/print_test_support.h"

#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "engine/display.h"
#include "engine/display_surface.h"
#include "engine/image_memory.h"
#include "engine/image_save.h"
#include "engine/packed.h"

namespace hv::printtest {

bool writeDrawing(const std::string& path, std::uint32_t width, std::uint32_t height, std::uint32_t dpi,
                  std::uint64_t seed, const std::string& format) {
  const Bitmap bm = drawgen::generateDrawing(width, height, dpi, seed);
  int status = 0;
  ImageHdl h = grxCreateImage(&status, width, height, dpi, dpi);
  if (h == nullptr) return false;
  std::vector<engine::Transition> list(width + 4);
  bool ok = true;
  for (std::uint32_t y = 0; y < height && ok; ++y) {
    std::size_t n = engine::bitsToList(bm.row(y), width, list.data(), list.size());
    ok = engine::putLineCopy(h->memory, y, list.data(), n) == hv::Status::Ok;
  }
  const char* code = format == "cal"    ? "CAL1GP4 "
                     : format == "cal2" ? "CAL2GP4 "
                     : format == "edm6" ? "EDM6GP4 "
                                        : "TIFFGP4 ";
  ok = ok && grxSaveImage(nullptr, h, path.c_str(), code, nullptr, 0, 0) == 0;
  grxCloseImage(h);
  return ok;
}

Bitmap referencePage(ImageHdl image, const desktop::PrintedPage& page, bool invert) {
  Bitmap sheet(std::uint32_t(page.paper.width()), std::uint32_t(page.paper.height()));
  engine::PackedSurface surface;
  surface.left = -page.printable.left();
  surface.top = -page.printable.top();
  surface.width = std::int32_t(sheet.width);
  surface.height = std::int32_t(sheet.height);
  surface.rowBytes = sheet.stride;
  surface.bits = sheet.bits.data();
  GrxDevice device{[](void* user, const GrxBand& band) {
                     engine::blitToSurface(*static_cast<engine::PackedSurface*>(user), band);
                   },
                   &surface};
  GrxBlitTarget target{&device, nullptr};
  const int saved = image->invert;
  image->invert = invert ? 1 : 0;
  const engine::PrintLayout& l = page.layout;
  int status = grxRenderRect(&target, &l.picture, image, &l.image, l.scale, l.rotation, GRX_LINES_AUTOMATIC, nullptr);
  image->invert = saved;
  if (status != GRX_RENDER_DONE) return Bitmap();
  // Padding bits past the sheet's width stay 0.
  if (sheet.width % 8)
    for (std::uint32_t y = 0; y < sheet.height; ++y)
      sheet.row(y)[sheet.stride - 1] &= std::uint8_t(0xFF00u >> (sheet.width % 8));
  return sheet;
}

Bitmap fromImage(const QImage& image) {
  const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
  Bitmap out(std::uint32_t(grey.width()), std::uint32_t(grey.height()));
  for (int y = 0; y < grey.height(); ++y) {
    const uchar* line = grey.constScanLine(y);
    for (int x = 0; x < grey.width(); ++x)
      if (line[x] < 128) out.set(std::uint32_t(x), std::uint32_t(y));
  }
  return out;
}

namespace {

// Black pixels of `a` with no black pixel of `b` within `radius`.
std::uint64_t unmatched(const Bitmap& a, const Bitmap& b, int radius, const QRect& ignore, std::string& where) {
  std::uint64_t count = 0;
  for (std::uint32_t y = 0; y < a.height; ++y) {
    const std::uint8_t* row = a.row(y);
    for (std::uint32_t x = 0; x < a.width; ++x) {
      if (!(row[x >> 3] & (0x80u >> (x & 7)))) continue;
      if (ignore.contains(int(x), int(y))) continue;
      bool found = false;
      for (int dy = -radius; dy <= radius && !found; ++dy)
        for (int dx = -radius; dx <= radius && !found; ++dx) {
          std::int64_t bx = std::int64_t(x) + dx, by = std::int64_t(y) + dy;
          found = bx >= 0 && by >= 0 && b.get(std::uint32_t(bx), std::uint32_t(by));
        }
      if (!found) {
        if (count == 0) where = "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
        ++count;
      }
    }
  }
  return count;
}

}  // namespace

std::string comparePages(const Bitmap& expected, const Bitmap& actual, int radius, const QRect& ignore) {
  if (expected.width != actual.width || expected.height != actual.height)
    return "page sizes differ: expected " + std::to_string(expected.width) + " x " +
           std::to_string(expected.height) + ", printed " + std::to_string(actual.width) + " x " +
           std::to_string(actual.height);
  std::string whereMissing, whereExtra;
  std::uint64_t missing = unmatched(expected, actual, radius, ignore, whereMissing);
  std::uint64_t extra = unmatched(actual, expected, radius, ignore, whereExtra);
  if (missing == 0 && extra == 0) return "";
  // HV_PRINT_DUMP=DIR keeps both pages of a failed comparison for a look.
  if (const char* dump = std::getenv("HV_PRINT_DUMP")) {
    static int failures = 0;
    const std::string n = std::to_string(++failures);
    drawgen::writePbm(std::string(dump) + "/expected-" + n + ".pbm", expected);
    drawgen::writePbm(std::string(dump) + "/printed-" + n + ".pbm", actual);
  }
  return std::to_string(missing) + " black pixels missing from the print (first at " + whereMissing + "), " +
         std::to_string(extra) + " black pixels printed where the engine draws none (first at " + whereExtra +
         ")";
}

std::uint64_t blackIn(const Bitmap& sheet, const QRect& rect) {
  std::uint64_t n = 0;
  for (int y = std::max(rect.top(), 0); y <= rect.bottom() && y < int(sheet.height); ++y)
    for (int x = std::max(rect.left(), 0); x <= rect.right() && x < int(sheet.width); ++x)
      n += sheet.get(std::uint32_t(x), std::uint32_t(y));
  return n;
}

}  // namespace hv::printtest
