#pragma once
// Writers of the untiled legacy targets: Audre (header and raster rows) and
// the IMPORT/EXPORT Group 4 wrap image ("DSED").
#include <cstdint>

#include "formats/file_manager.h"

namespace hv::formats {

// Audre files refuse the file manager's writing mode; saving creates its
// output here instead. Null after reporting.
ImageFileRecord* audreCreate(const char* path);
// Bytes per stored Audre line: the packed row rounded up to whole 32-bit words.
inline std::uint32_t audreQuadWidth(std::uint32_t width) { return (width + 31) / 32 * 4; }

Status audreWriteSpecs(ImageFileRecord* r, const ImageSpecs* specs, const void* params, std::uint32_t size);
Status dsedWriteSpecs(ImageFileRecord* r, const ImageSpecs* specs, const void* params, std::uint32_t size);
// Shared: the raster follows the header; write-end completes it.
Status rasterWriteBegin(ImageFileRecord* r, const StripDesc* desc);
Status rasterWriteCodes(ImageFileRecord* r, WriteCodeBuffer* codes);
Status rasterWriteEnd(ImageFileRecord* r, const StripDesc* desc);
// Creates an IMPORT/EXPORT image for writing (filter 7 has no reading side).
ImageFileRecord* dsedCreate(const char* path);

// The IMPORT/EXPORT image layout written: a 256-byte header, then the raster.
namespace dsed {
inline constexpr std::size_t kMarkerAt = 0;        // 0xF9 0xF9
inline constexpr std::size_t kHeaderLengthAt = 2;  // 16-bit big-endian: 256
inline constexpr std::size_t kWidthAt = 4;         // 32-bit big-endian
inline constexpr std::size_t kHeightAt = 8;        // 32-bit big-endian
inline constexpr std::size_t kResolutionAt = 12;   // 16-bit big-endian
inline constexpr std::size_t kCodingAt = 14;       // 16-bit big-endian: 7, Group 4 wrap
inline constexpr std::size_t kRasterBytesAt = 16;  // 32-bit big-endian
inline constexpr std::size_t kLabelAt = 20;        // EBCDIC "IMAGE G4W"
inline constexpr std::size_t kLabelBytes = 9;
inline constexpr std::size_t kHeaderBytes = 256;
static_assert(kLabelAt + kLabelBytes <= kHeaderBytes);
inline constexpr std::uint8_t kMarker = 0xF9;
}  // namespace dsed

}  // namespace hv::formats
