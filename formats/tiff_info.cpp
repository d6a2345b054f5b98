#include "formats/tiff_info.h"

#include <numeric>

#include "formats/compression_codes.h"
#include "formats/info_format.h"
#include "formats/tiff_dir.h"
#include "formats/tiff_tags.h"
#include "platform/file_io.h"

namespace hv::formats {
namespace {

const char* compressionName(std::uint32_t value, std::uint32_t t4Options) {
  switch (value) {
    case kTiffNoCompression: return "No Compression";
    case kTiffModifiedHuffman: return "Group 3";
    case kTiffGroup3: return (t4Options & kTiffT4TwoDimensional) ? "CCITT Group3-2D" : "CCITT Group3-1D";
    case kTiffGroup4: return "CCITT Group4";
    case kTiffPackBits: return "PackBits";
    case kTiffG4Wrap: return "Group 4 (WRAP)";
    default: return "Unknown";
  }
}

// Where the stored picture's first row and first column lie on the page
// (TIFF 6.0 Orientation), for a stored picture that is turned or mirrored.
std::string orientationText(std::uint32_t value) {
  static constexpr const char* kSides[9][2] = {{"", ""},          {"top", "left"},    {"top", "right"},
                                               {"bottom", "right"}, {"bottom", "left"}, {"left", "top"},
                                               {"right", "top"},  {"right", "bottom"}, {"left", "bottom"}};
  if (value < kTiffOrientationTopLeft || value > kTiffOrientationLast)
    return format("%u (not defined; shown as 1)", value);
  return format("%u (first row at the %s, first column at the %s)", value, kSides[value][0], kSides[value][1]);
}

}  // namespace

ImageInformation tiffImageInfo(ImageFileRecord* r) {
  ImageInformation info;
  info.title = "TIFF File Information";
  bool big = (r->strips.byteOrder & 0xFF) == 'M';
  std::int64_t size = platform::fileSize(r->fd);
  TiffDirectory dir(r->fd, r->headerOffset, big, size);
  const auto& entries = r->strips.entries;
  auto number = [&](std::uint16_t tag) -> std::uint32_t {
    const TiffEntry* e = findEntry(entries, tag);
    return e ? dir.value(*e).value_or(0) : 0;
  };
  auto add = [&](const char* label, std::string value) { info.fields.push_back({label, std::move(value)}); };

  add("File", r->path);
  add("File Size", format("%ld", static_cast<long>(size)));
  add("Width", format("%u", number(kTiffImageWidth)));
  add("Height", format("%u", number(kTiffImageLength)));
  for (auto [tag, label] : {std::pair<std::uint16_t, const char*>{kTiffImageDescription, "Description"},
                            {kTiffDateTime, "Date/Time"},
                            {kTiffArtist, "Artist"}}) {
    const TiffEntry* e = findEntry(entries, tag);
    if (e == nullptr) continue;
    if (auto text = dir.text(*e)) add(label, format("%s", text->c_str()));
  }
  const std::uint32_t unit =
      findEntry(entries, kTiffResolutionUnit) ? number(kTiffResolutionUnit) : kTiffUnitInch;
  auto dpi = [&](std::uint16_t tag) -> std::uint32_t {
    const TiffEntry* e = findEntry(entries, tag);
    return e ? dir.resolutionDpi(*e, unit).value_or(0) : 0;
  };
  std::uint32_t xres = dpi(kTiffXResolution), yres = dpi(kTiffYResolution);
  if (xres < 1) xres = 200;
  if (yres < 1) yres = 200;
  add("Horizontal Resolution", format("%ld", static_cast<long>(xres)));
  add("Vertical Resolution", format("%ld", static_cast<long>(yres)));
  add("Width (inches)", inches(r->width, xres));
  add("Height (inches)", inches(r->height, yres));
  if (findEntry(entries, kTiffOrientation) != nullptr && number(kTiffOrientation) != kTiffOrientationTopLeft)
    add("Orientation", orientationText(number(kTiffOrientation)));
  std::uint32_t compression = findEntry(entries, kTiffCompression) ? number(kTiffCompression) : kTiffGroup4;
  add("Compression", compressionName(compression, number(kTiffT4Options)));
  const auto& counts = r->tiles.count ? r->tiles.byteCounts : r->strips.byteCounts;
  std::uint64_t coded = std::accumulate(counts.begin(), counts.end(), std::uint64_t{0});
  add("Compression Factor", compressionFactor(r->width, r->height, coded));
  return info;
}

}  // namespace hv::formats
