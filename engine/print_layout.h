#pragma once
// Page layout of a printed drawing: where on the printer page the picture
// goes, at which scale and turned how, and where the date-and-name stamp
// sits. Pure arithmetic in printer device pixels, shared by the viewer's
// print commands and the batch print program; the Qt side only measures the
// page and the stamp font and paints what this decides.
#include <cstdint>
#include <ctime>
#include <string>

#include "engine/image_handle.h"
#include "platform/export.h"

namespace hv::engine {

// The stamp font: "Times New Roman", normal weight, character height 11 on
// the screen and 34 on a printed page of 300 dpi (the printed height grows
// with the printer's resolution so the stamp keeps its physical size).
inline constexpr const char* kStampFontFamily = "Times New Roman";
inline constexpr int kStampFontWeight = 400;
inline constexpr int kStampScreenHeight = 11;
inline constexpr int kStampPrintHeight = 34;
inline constexpr int kStampReferenceDpi = 300;

// The stamp's character height in device pixels on a printer of `dpi`.
HV_EXPORT int stampPrintHeight(std::uint32_t dpi);

// The printer page, in device pixels of the printer's resolution, measured
// from the top-left corner of the printable area (where painting starts).
struct PrintPage {
  std::int32_t width = 0, height = 0;  // the printable area
};

// What is printed: a rectangle of the image (the whole image, or the part a
// zoomed view shows) and the view's rotation in tenths of a degree.
struct PrintSource {
  std::uint32_t imageWidth = 0, imageHeight = 0;
  GrxRect rect{0, 0, 0, 0};  // right and bottom exclusive; empty = the whole image
  int rotation = 0;          // a multiple of 900
};

struct PrintOptions {
  // Turn the picture by 900 when its orientation differs from the page's
  // (portrait = narrower than high).
  bool rotateForBestFit = true;
  // Height in device pixels of the line the stamp takes at the top of the
  // printable area; 0 prints no stamp.
  std::int32_t stampLine = 0;
};

// The decided page.
struct PrintLayout {
  GrxRect image{0, 0, 0, 0};             // image rectangle rendered
  std::uint8_t scale[4] = {1, 1, 1, 1};  // engine scale (d, n, d, n)
  int rotation = 0;                      // render rotation, tenths of a degree, 0..2700
  GrxRect picture{0, 0, 0, 0};           // where the turned, scaled picture lands
  GrxRect stamp{0, 0, 0, 0};             // the stamp's line; empty without a stamp
};

// Lays out one page. The picture is fitted with the engine's fit arithmetic
// (whole-group reductions, the fine zoom steps) into the printable area less
// the stamp line, never larger than that area, and centred in it.
// BadArgument when the page or the source is empty, BadRotation when the
// rotation is not a right angle, TooSmall when the page cannot hold the
// stamp line and a picture pixel; the layout is then unchanged.
HV_EXPORT Status layoutPrintPage(const PrintPage& page, const PrintSource& source, const PrintOptions& options,
                                 PrintLayout& layout);

// The stamp text: the local time `when` and the file name of `path` (without
// folders, cut at its first "."), as "January 05, 2024 13:04:09 [NAME]".
HV_EXPORT std::string formatPrintStamp(const std::tm& when, const std::string& path);

}  // namespace hv::engine
