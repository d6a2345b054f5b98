#pragma once
// CCITT encoder: turns image memory into coded bytes for saving. Group 3
// one-dimensional with EOLs (kCompG3OneD) or byte-aligned lines
// (kCompModHuffman), Group 4 (kCompG4, ITU-T T.6), Group 4 "wrap"
// (kCompG4Wrap, one continuous raster) and uncompressed packed rows
// (kCompUncompressed), as formats/compression_codes.h numbers them. Codes are
// written most significant bit first; the output goes to a caller-owned
// buffer that is handed to the flush callback (the file manager's write-codes
// operation) whenever it fills.
#include <cstdint>
#include <vector>

#include "engine/image_handle.h"
#include "engine/image_memory.h"
#include "formats/file_manager.h"
#include "platform/status.h"

namespace hv::engine {

// Writes the whole bytes of `buffer` and keeps a partial last byte at its
// start (the file manager's write-codes contract). Returns Ok, or why the
// bytes could not be written.
using FlushProc = Status (*)(void* context, formats::WriteCodeBuffer* buffer);

struct EncoderState {
  // kCompG3OneD, kCompModHuffman, kCompG4, kCompUncompressed or kCompG4Wrap.
  int compression = 0;
  void* flushContext = nullptr;       // handed to `flush` (the image record when saving)
  const ImageMemory* memory = nullptr;
  std::uint16_t width = 0;            // pixels per line (the image memory's width when 0)
  std::uint16_t rowBytes = 0;         // bytes per packed row, kCompUncompressed ((width + 7) / 8 when 0)
  std::uint16_t lines = 0;            // lines to code (the image memory's height when 0)
  formats::WriteCodeBuffer out{nullptr, 0, 0, 0};
  std::uint32_t capacity = 0;         // bytes of out.data
  FlushProc flush = nullptr;
  GrxProgress progress = nullptr;     // reported with GRX_PROGRESS_SAVE every 64 lines and at the end
};

// Codes every line of the image memory. The final partial byte (if any) is
// left in the buffer: out.bitCount and out.byteCount describe it, for the
// format's write-end to complete. Ok; BadArgument without a state, image
// memory or output buffer, or with a byte count not zero at the start;
// Unsupported for a compression code the encoder does not write;
// WriteFailed when the flush callback reported a failure (coding stopped
// there).
[[nodiscard]] Status encodeImage(EncoderState* state);

// Buffer sizes the save code hands the encoder.
inline constexpr std::uint32_t kEncodeBufferBytes = 16384;
inline constexpr std::uint32_t kRawBufferBytes = 32768;

// A flush callback that appends the whole bytes to the std::vector<uint8_t>
// given as context (coding into memory).
Status appendCodes(void* vector, formats::WriteCodeBuffer* buffer);

// Codes an image memory into `out`: the bytes as written, a final partial
// byte with its unused bits clear. The encoder's buffer holds `capacity`
// bytes (0: the size a save uses). Returns what encodeImage returns.
[[nodiscard]] Status encodeToBytes(const ImageMemory* mem, int compression, std::vector<std::uint8_t>& out,
                                std::uint32_t capacity = 0);

// The codes of a run length 0..2623, left-aligned in the upper bits with the
// bit count in the low 5 bits (make-up code then terminating code for runs of
// 64 and more). Built once from the transcribed ITU-T T.4 tables.
std::uint32_t runCode(bool black, std::uint32_t run);
inline constexpr std::uint32_t kMaxTableRun = 2623;

}  // namespace hv::engine
