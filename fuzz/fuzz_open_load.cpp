// Identification, open and full load of any file, as the viewer does it.
// The first input byte chooses the file's name (name-led identification
// rules look at it); the rest is the file's content.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "engine/display.h"
#include "engine/grx_status.h"
#include "engine/display_math.h"
#include "engine/display_surface.h"
#include "engine/image_handle.h"
#include "formats/fm_messages.h"
#include "formats/identify.h"
#include "formats/file_manager.h"

namespace {

const char* const kNames[] = {"drawing.tif", "drawing.cal", "D001", "INDEX.HOL", "JMX.HOL",
                              "image.ded",   "data.dlf",    "plain", "sheet.c4"};

const std::string& scratchDir() {
  static std::string dir = [] {
    const char* base = std::getenv("TMPDIR");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/hvfuzz.XXXXXX";
    if (::mkdtemp(tmpl.data()) == nullptr) std::abort();
    return tmpl + "/";
  }();
  return dir;
}

// Paints the whole drawing fitted into a small window, as a view does.
void paintFitted(ImageHdl h, int rotation) {
  hv::engine::DisplayState& s = *h->current;
  s.rotation = rotation;
  if (!hv::engine::fitScale(h->record->width, h->record->height, 97, 61, rotation, s.scale)) return;
  s.displayX = s.displayY = 0;
  hv::engine::MemoryWindow window{97, 61};
  if (grxUpdateScrolling(&window, h, 1) != GRX_OK) return;
  (void)grxDisplayImage(&window, nullptr, nullptr, h);
}

// Repaints a small region at 1:1 at the bottom of the drawing, as a view
// scrolled down does after the fitted paint: the decoding starts from a
// checkpoint or resume point that paint left.
void paintBottom(ImageHdl h) {
  const auto width = static_cast<std::int32_t>(std::min<std::uint32_t>(h->record->width, 64));
  const auto height = static_cast<std::int32_t>(std::min<std::uint32_t>(h->record->height, 40));
  if (width <= 0 || height <= 0) return;
  hv::engine::MemoryWindow window{width, height};
  GrxBlitTarget target{window.acquireDevice(), nullptr};
  const auto bottom = static_cast<std::int32_t>(h->record->height);
  const auto left = static_cast<std::int32_t>(h->record->width / 2) - width / 2;
  const GrxRect display{0, 0, width, height}, image{left, bottom - height, left + width, bottom};
  const std::uint8_t one[4] = {1, 1, 1, 1};
  (void)grxRenderRect(&target, &display, h, &image, one, 0, GRX_LINES_PACKED, nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  hv::formats::setMessageSink(nullptr, nullptr);
  std::string path = scratchDir() + kNames[data[0] % (sizeof kNames / sizeof kNames[0])];
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return 0;
  std::fwrite(data + 1, 1, size - 1, f);
  std::fclose(f);

  int documentType = 0, filter = 0, compression = 0;
  std::uint32_t offset = 0;
  (void)imfTypeDosFile(path.c_str(), &documentType, &filter, &compression, &offset);
  ImageHdl h = grxOpenImage(nullptr, path.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
  if (h != nullptr) {
    (void)hv::formats::imageInformation(h->record);
    paintFitted(h, 900 * (data[0] % 4));
    paintBottom(h);
    (void)grxLoadImageMemory(h, nullptr);
    if (grxUseImageMemory(h)) paintFitted(h, 0);
    grxCloseImage(h);
  }
  ::unlink(path.c_str());
  return 0;
}
