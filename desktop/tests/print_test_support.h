#pragma once
// Helpers of the printing tests: drawings on disk, the engine's own render
// of a printed page, and page comparison.
#include <string>

#include <QImage>

#include "desktop/print_page.h"
#include "tools/drawgen/drawgen.h"

namespace hv::printtest {

using drawgen::Bitmap;

// Writes a generated drawing of `width` x `height` at `dpi` through the
// engine's own writer: format "tif" (Group 4 TIFF), "cal" (CALS Type 1),
// "cal2" (CALS Type 2) or "edm6" (EDMICS VI); returns false when it cannot.
bool writeDrawing(const std::string& path, std::uint32_t width, std::uint32_t height, std::uint32_t dpi,
                  std::uint64_t seed, const std::string& format);

// The engine's render of the printed page: a white sheet of the page's paper
// size with the picture drawn where the layout put it (nothing in the stamp
// line), with the handle's file as source and the given polarity.
Bitmap referencePage(ImageHdl image, const desktop::PrintedPage& page, bool invert);

// The sheet of a painted QImage: a pixel is black when darker than middle grey.
Bitmap fromImage(const QImage& image);

// How two pages differ: black pixels of one that have no black pixel of the
// other within `radius` pixels, counted both ways, outside `ignore` (a
// rectangle in sheet pixels, e.g. the stamp line). Empty when they agree.
std::string comparePages(const Bitmap& expected, const Bitmap& actual, int radius, const QRect& ignore);

// Black pixels inside a rectangle of the sheet.
std::uint64_t blackIn(const Bitmap& sheet, const QRect& rect);

}  // namespace hv::printtest
