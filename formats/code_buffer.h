#pragma once
// The coded-data hand-over between the image file manager (which reads coded
// bytes from a file) and the CCITT decoder (which turns them into lines).
#include <cstdint>

#include "formats/compression_codes.h"

namespace hv::formats {

// Filled by get-code-buffer: the next coded bytes of the image, already in
// least-significant-bit-first order for CCITT codings.
struct CodeBuffer {
  std::uint8_t* data = nullptr;  // caller-owned storage of `capacity` bytes
  std::uint32_t count = 0;       // bytes delivered
  std::uint32_t capacity = 0;    // set by the caller
};

struct CodeInfo {
  std::int32_t compression = 0;  // RecordCompression of the delivered bytes
  std::int32_t bitOrder = 0;     // -1: bytes already bit-reversed; else the fill-order flag
};

// Get-code-buffer returns a Status (platform/status.h): Ok, NewStrip when
// the delivered bytes begin a new strip, AllDelivered when every strip or
// tile has been delivered, DataEnded when fewer than one byte could be read
// (the file ends inside a strip), ReadFailed when seek or read failed.

}  // namespace hv::formats
