#pragma once
// The image handle: one image, opened from a file or created in memory.
#include <cstdint>

#include "engine/image_memory.h"
#include "engine/progress_stage.h"
#include "formats/file_manager.h"
#include "platform/export.h"

namespace hv::engine {

// What a view shows of an image: twelve 32-bit values, the four scale bytes
// making up one of them.
struct DisplayState {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;  // image extent shown, image pixels
  // Horizontal denominator, numerator; vertical denominator, numerator.
  std::uint8_t scale[4] = {0, 0, 0, 0};
  std::int32_t rotation = 0;  // tenths of a degree
  std::int32_t invert = 0;
  std::int32_t scrollBars = 1;
  std::int32_t originX = 0, originY = 0;      // view origin, image pixels
  std::int32_t displayX = -1, displayY = -1;  // view origin, display pixels

  bool operator==(const DisplayState&) const = default;
};

struct WrapMarks;
class LineCache;

}  // namespace hv::engine

// The engine's image handle.
struct ImageHdlRec {
  hv::formats::ImageFileRecord* record = nullptr;
  hv::engine::ImageMemory* memory = nullptr;  // the record's image memory; none until loaded
  // The procedures of the image's format (an entry of the constant filter
  // table); null for an image created in memory, which has no file.
  const hv::formats::FilterProcs* filter = nullptr;
  int invert = 0;
  int fastReduction = 0;
  int previewRequest = 0;
  int scrollBars = 1;
  hv::engine::DisplayState* current = nullptr;
  hv::engine::DisplayState* previous = nullptr;
  void* displayBitmaps[3] = {nullptr, nullptr, nullptr};
  void (*freeDisplayBitmap)(void*) = nullptr;
  int decodeResult = 0;       // the decoder's final result of the last load or render
  int displayFromMemory = 0;  // renders read image memory instead of the file (grxUseImageMemory)
  int scrollingBusy = 0;      // grxUpdateScrolling is setting the scroll bars
  hv::engine::WrapMarks* wrapMarks = nullptr;  // resume points of a continuous wrap raster
  hv::engine::LineCache* lineCache = nullptr;  // decoded lines kept between renders
};
using ImageHdl = ImageHdlRec*;

// Open options of grxOpenImage.
enum GrxOpenOption : unsigned {
  GRX_OPEN_ONE_TO_ONE = 0x001,
  GRX_OPEN_TEMPLATE_SCALE = 0x002,
  GRX_OPEN_TEMPLATE_ORIGIN = 0x004,
  GRX_OPEN_TEMPLATE_ROTATION = 0x008,
  GRX_OPEN_MODE3 = 0x100,  // the filter opens with kOpenReadSecondHeader (formats/open_mode.h)
  GRX_OPEN_FAST_REDUCTION = 0x200,
  GRX_OPEN_INVERT = 0x400,
};

// Progress callback: (stage, reserved 0, done, total) with a GrxProgressStage
// (progress_stage.h) saying what the counts are; returns nonzero to continue.
using GrxProgress = int (*)(int stage, int reserved, long done, long total);

struct GrxRect {
  std::int32_t left, top, right, bottom;
};

extern "C" {
// Creates a blank in-memory image; status -3 for a zero value, -8 when memory
// runs out. The width is at most 65535.
[[nodiscard]] HV_EXPORT ImageHdl grxCreateImage(int* status, std::uint32_t width, std::uint32_t height,
                                                std::uint32_t xResolution, std::uint32_t yResolution);
// Opens an image file (image memory is not loaded). Null on any failure.
[[nodiscard]] HV_EXPORT ImageHdl grxOpenImage(void* context, const char* path, unsigned options,
                                              const hv::engine::DisplayState* templateState);
// Decodes the whole image into image memory. 1 on success; 0 when memory is
// already loaded or decoding failed (the lines decoded so far stay).
[[nodiscard]] HV_EXPORT int grxLoadImageMemory(ImageHdl handle, GrxProgress progress);
HV_EXPORT void grxFreeImageMemory(ImageHdl handle);
[[nodiscard]] HV_EXPORT int grxHasImageMemory(ImageHdl handle);
HV_EXPORT void grxCloseImage(ImageHdl handle);
// Copies a rectangle (right and bottom exclusive) into a new image memory, or
// into `destination`, which must have exactly the rectangle's size.
[[nodiscard]] HV_EXPORT hv::engine::ImageMemory* grxCopyImageRegion(const hv::engine::ImageMemory* source,
                                                                    const GrxRect* rect,
                                                                    hv::engine::ImageMemory* destination);
}

namespace hv::engine {
// The handle's image memory: set bits and black runs are black as shown.
inline ImageMemory* imageMemory(ImageHdl h) { return h ? h->memory : nullptr; }
// Whether the image was opened from a file (it can be decoded from there).
inline bool hasFile(ImageHdl h) { return h != nullptr && h->filter != nullptr; }
}  // namespace hv::engine
