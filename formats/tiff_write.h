#pragma once
// Writing single-image bilevel TIFF files (filter 1), and the close procedure
// shared by the filters whose records the TIFF code closes.
#include <cstdint>

#include "formats/file_manager.h"

namespace hv::formats {

// The 92-byte write parameters of a TIFF file.
struct TiffWriteParams {
  std::uint32_t byteOrder = 'I' | 'I' << 8;  // "II" or "MM" as a 16-bit value
  std::uint32_t rowsPerStrip = 0;            // at least 1; the height or more gives one strip
  char software[80] = {};                    // Software tag text; empty: the engine's own
  std::uint32_t reserved = 0;                // replaced by the writer
};
static_assert(sizeof(TiffWriteParams) == kWriteParamBytes);

// The Software text written when the caller gives none.
inline constexpr const char* kEngineSoftware = "Halvor drawing viewer image engine";

Status tiffWriteSpecs(ImageFileRecord* r, const ImageSpecs* specs, const void* params, std::uint32_t size);
Status tiffWriteBegin(ImageFileRecord* r, const StripDesc* desc);
Status tiffWriteCodes(ImageFileRecord* r, WriteCodeBuffer* codes);
Status tiffWriteEnd(ImageFileRecord* r, const StripDesc* desc);

// Appends the whole bytes of a code buffer at the file's current position and
// moves a partial last byte to the buffer's start (the write-codes contract).
// Adds the bytes written to *written. WriteFailed when writing failed.
Status appendWholeBytes(ImageFileRecord* r, WriteCodeBuffer* codes, std::uint64_t* written);
// Writes what a code buffer still holds, a final partial byte with its unused
// low-order bits cleared, and empties the buffer. WriteFailed when writing
// failed.
Status appendRemainder(ImageFileRecord* r, WriteCodeBuffer* codes, std::uint64_t* written);

}  // namespace hv::formats
