#pragma once
// The strip reader shared by TIFF, CALS Type 1 and EDMICS V, the tile reader
// of tiled TIFF files, and the decoding checkpoints of strip data.
#include <cstdint>

#include "formats/file_manager.h"

namespace hv::formats {

// Reverses the bit order of every byte (bit 7 becomes bit 0).
void reverseBits(std::uint8_t* bytes, std::uint32_t count);

Status stripGetCodeBuf(ImageFileRecord* r, CodeBuffer* buf, CodeInfo* info, int* compression);
Status stripSeek(ImageFileRecord* r, const SeekRequest& wanted, CodeBuffer* buf, CodeInfo* info, int* compression,
                 std::uint16_t* refLine, std::uint32_t refLineEntries, SeekResult* result);
void stripLineInfo(ImageFileRecord* r, std::uint32_t line, std::int32_t bitOffset, std::uint32_t bufferBytes,
                   const std::uint16_t* refLine, std::uint32_t refLineBytes, const std::uint32_t* wrap);
// Closes the file and releases the record, with any writer state.
void stripClose(ImageFileRecord* r);

// Where a record's reader stands: the strip (or, for a tiled image, the
// tile) and the byte within its data that the next get-code-buffer reads.
// The engine saves and restores positions to run several decoders over one
// record (the tiles of a tile row side by side); it never moves a reader by
// writing the record's fields.
struct ReaderPosition {
  std::uint32_t unit = 0;
  std::uint32_t byte = 0;
};
ReaderPosition readerPosition(const ImageFileRecord* r);
void restoreReaderPosition(ImageFileRecord* r, const ReaderPosition& at);
// Drops the rest of the current strip, so that the next read starts the
// following one; AllDelivered (nothing changes) when no strip follows.
Status leaveStrip(ImageFileRecord* r);
// Places the strip reader at a byte of the strips' data taken end to end;
// OutsideImage (nothing changes) when the byte lies beyond the data.
Status seekStripStream(ImageFileRecord* r, std::uint64_t byte);

}  // namespace hv::formats
