#pragma once
// The integer results of the exported imf* functions, made from the Status
// of the work behind them; the numbering is written down here and nowhere
// else.
#include "platform/status.h"

namespace hv::formats {

// imfGetCodeBuf: 0 (Ok), 8 (NewStrip), 9 (AllDelivered), 4 (DataEnded, a
// short read) and 10 for every failure.
int toCodeBufferCode(Status status);

// imfSeekImage and the write protocol (imfWriteImageSpecs, imfWriteBegin,
// imfWriteCodes, imfWriteEnd): 1 for Ok, 0 otherwise.
int toImfFlag(Status status);

}  // namespace hv::formats
