#pragma once
// The coded-data hand-over between the image file manager (which reads coded
// bytes from a file) and the CCITT decoder (which turns them into lines).
#include <cstdint>

namespace hv::formats {

// Filled by get-code-buffer: the next coded bytes of the image, already in
// least-significant-bit-first order for CCITT codings.
struct CodeBuffer {
  std::uint8_t* data = nullptr;  // caller-owned storage of `capacity` bytes
  std::uint32_t count = 0;       // bytes delivered
  std::uint32_t capacity = 0;    // set by the caller
};

struct CodeInfo {
  std::int32_t compression = 0;  // record compression code of the delivered bytes
  std::int32_t bitOrder = 0;     // -1: bytes already bit-reversed; else the fill-order flag
};

// Get-code-buffer returns a Status (platform/status.h): Ok, NewStrip when
// the delivered bytes begin a new strip, AllDelivered when every strip or
// tile has been delivered, DataEnded when fewer than one byte could be read
// (the file ends inside a strip), ReadFailed when seek or read failed.

// Record compression codes.
enum RecordCompression : int {
  kCompG3OneD = 0,        // CCITT Group 3 1-D, EOL before every line
  kCompModHuffman = 1,    // Modified Huffman (TIFF compression 2), byte-aligned lines
  kCompG3TwoD = 2,        // CCITT Group 3 2-D
  kCompG4 = 3,            // CCITT Group 4
  kCompPackBits = 4,
  kCompUncompressed = 6,
  kCompG4Wrap = 7,        // Group 4 lines each preceded by an EOL (TIFF compression 32815)
  kCompTiled = 8,         // tiled data; tiles are Group 4 unless a buffer says otherwise
};

}  // namespace hv::formats
