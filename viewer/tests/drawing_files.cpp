#include "viewer/tests/drawing_files.h"

#include <vector>

#include "engine/image_handle.h"
#include "engine/image_save.h"
#include "engine/packed.h"

namespace hv::viewer::test {

bool writeBitmap(const std::string& path, const hv::drawgen::Bitmap& bitmap, const char* format, unsigned dpi) {
  int status = 0;
  ImageHdl h = grxCreateImage(&status, bitmap.width, bitmap.height, dpi, dpi);
  if (h == nullptr) return false;
  std::vector<hv::engine::Transition> list(bitmap.width + 4);
  bool ok = true;
  for (std::uint32_t y = 0; ok && y < bitmap.height; ++y) {
    std::size_t n = hv::engine::bitsToList(bitmap.row(y), bitmap.width, list.data(), list.size());
    ok = n > 0 && hv::engine::putLineCopy(h->memory, y, list.data(), n) == hv::Status::Ok;
  }
  ok = ok && grxSaveImage(nullptr, h, path.c_str(), format, nullptr, 0, 0) == 0;
  grxCloseImage(h);
  return ok;
}

bool writeDrawing(const std::string& path, const char* format, unsigned seed, unsigned width, unsigned height) {
  return writeBitmap(path, hv::drawgen::generateDrawing(width, height, 200, seed), format);
}

hv::drawgen::Bitmap readBitmap(const std::string& path) {
  hv::drawgen::Bitmap out;
  ImageHdl h = grxOpenImage(nullptr, path.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
  if (h == nullptr) return out;
  if (grxLoadImageMemory(h, nullptr)) {
    out = hv::drawgen::Bitmap(h->record->width, h->record->height);
    for (std::uint32_t y = 0; y < out.height; ++y)
      hv::engine::listToBits(hv::engine::getLine(h->memory, y), out.width, out.row(y), 0, out.width);
  }
  grxCloseImage(h);
  return out;
}

}  // namespace hv::viewer::test
