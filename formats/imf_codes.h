#pragma once
// The integer results of the exported imf* functions, made from the Status
// of the work behind them; the numbering is written down here and nowhere
// else.
#include <cstdint>

#include "platform/status.h"

namespace hv::formats {

// imfGetCodeBuf: 0 (Ok), 8 (NewStrip), 9 (AllDelivered), 4 (DataEnded, a
// short read) and 10 for every failure.
int toCodeBufferCode(Status status);

// imfSeekImage and the write protocol (imfWriteImageSpecs, imfWriteBegin,
// imfWriteCodes, imfWriteEnd): 1 for Ok, 0 otherwise.
int toImfFlag(Status status);

// imfLoadFileFilter and imfGetFileType: the filter number, 0 for every
// failure.
int toFilterNumber(Result<int> filter);

// imfFileSeek: the position, -1 for every failure. A writer's position before
// its header offset is negative too, and -1 there reads as a failure.
std::int64_t toFilePosition(Result<std::int64_t> position);

}  // namespace hv::formats
