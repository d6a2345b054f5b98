#pragma once
// The strip reader shared by TIFF, CALS Type 1 and EDMICS V, the tile reader
// of tiled TIFF files, and the decoding checkpoints of strip data.
#include <cstdint>

#include "formats/file_manager.h"

namespace hv::formats {

// Reverses the bit order of every byte (bit 7 becomes bit 0).
void reverseBits(std::uint8_t* bytes, std::uint32_t count);

int stripGetCodeBuf(ImageFileRecord* r, CodeBuffer* buf, CodeInfo* info, int* compression);
int stripSeek(ImageFileRecord* r, const SeekRequest& wanted, CodeBuffer* buf, CodeInfo* info, int* compression,
              std::uint16_t* refLine, std::uint32_t refLineEntries, SeekResult* result);
void stripLineInfo(ImageFileRecord* r, std::uint32_t line, std::int32_t bitOffset, std::uint32_t bufferBytes,
                   const std::uint16_t* refLine, std::uint32_t refLineBytes, const std::uint32_t* wrap);
// Closes the file and releases the record, with any writer state.
void stripClose(ImageFileRecord* r);

// True for the record codes whose data the decoder reads bit-serially.
inline bool isCcittCode(int code) { return code == 0 || code == 1 || code == 2 || code == 3 || code == 7; }

}  // namespace hv::formats
