#pragma once
// Shared steps of the tiled and legacy raster fuzz targets: open a file as the
// viewer does, read its information, and load it whole when it is small
// enough for a fuzzing run (a large all-null-tile sheet is sound but slow).
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/image_handle.h"
#include "formats/file_manager.h"
#include "formats/fm_messages.h"

namespace hv::fuzz {

inline constexpr std::uint64_t kLoadPixelsMax = 4u << 20;

inline void openInfoLoad(const std::string& path) {
  ImageHdl h = grxOpenImage(nullptr, path.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
  if (h == nullptr) return;
  (void)hv::formats::imageInformation(h->record);
  if (static_cast<std::uint64_t>(h->record->width) * h->record->height <= kLoadPixelsMax)
    (void)grxLoadImageMemory(h, nullptr);
  grxCloseImage(h);
}

// Opens path with the filter directly (kOpenRead or kOpenReadSecondHeader) and reads every tile or
// strip through get-code-buffer, as a display would.
inline void readThroughFilter(int filter, const std::string& path, int mode, std::uint32_t headerOffset = 0) {
  if (imfLoadFileFilter(filter) != filter) return;
  const hv::formats::FilterProcs* f = hv::formats::boundFilter(filter);
  hv::formats::ImageFileRecord* r = f->open(nullptr, path.c_str(), mode, headerOffset);
  if (r == nullptr) return;
  (void)hv::formats::imageInformation(r);
  std::vector<std::uint8_t> storage(4096);
  hv::formats::CodeBuffer buf{storage.data(), 0, static_cast<std::uint32_t>(storage.size())};
  hv::formats::CodeInfo info;
  int compression = 0;
  std::uint32_t tiles = r->tiles.count != 0 ? r->tiles.count : 1;
  std::uint64_t budget = 1u << 22;  // bytes delivered per input
  for (std::uint32_t i = 0; i < tiles && budget > 0; ++i) {
    hv::formats::SeekRequest want;
    if (r->tiles.count != 0 && r->tiles.across != 0) {
      want.x = static_cast<std::int32_t>((i % r->tiles.across) * r->tiles.width);
      want.y = static_cast<std::int32_t>((i / r->tiles.across) * r->tiles.length);
    }
    hv::formats::SeekResult where;
    (void)f->seek(r, want, &buf, &info, &compression, nullptr, 0, &where);
    while (budget > 0 && f->getCodeBuf(r, &buf, &info, &compression) == hv::Status::Ok)
      budget -= std::min<std::uint64_t>(budget, buf.count + 1);
  }
  imfCloseImage(r);
}

}  // namespace hv::fuzz
