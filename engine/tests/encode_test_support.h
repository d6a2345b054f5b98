#pragma once
// Test helpers for the encoder: encoding image memory into bytes held in
// memory, and decoding those bytes back into lines with the engine's readers.
#include <cstdint>
#include <vector>

#include "engine/ccitt_encode.h"
#include "engine/ccitt_wrap_raster.h"
#include "engine/image_memory.h"
#include "engine/tests/ccitt_test_support.h"

namespace hv::engine::test {

using Lines = std::vector<std::vector<std::uint16_t>>;

// Encodes the whole image memory; the bytes are as written (most significant
// bit first), the final partial byte completed with zero bits.
inline std::vector<std::uint8_t> encodeToBytes(const ImageMemory* m, int code, hv::Status* result = nullptr,
                                               std::uint32_t capacity = kEncodeBufferBytes) {
  std::vector<std::uint8_t> out;
  hv::Status r = hv::engine::encodeToBytes(m, code, out, capacity);
  if (result) *result = r;
  return out;
}

inline std::vector<std::uint8_t> reversedBits(std::vector<std::uint8_t> v) {
  for (auto& b : v) {
    std::uint8_t r = 0;
    for (int i = 0; i < 8; ++i)
      if (b & (1u << i)) r = static_cast<std::uint8_t>(r | (0x80u >> i));
    b = r;
  }
  return v;
}

// Decodes bytes as written by the encoder (most significant bit first).
inline Lines decodeBytes(const std::vector<std::uint8_t>& written, int code, std::uint16_t width,
                         std::uint16_t height) {
  const bool ccitt = code != formats::kCompUncompressed;
  std::vector<std::uint8_t> data = ccitt ? reversedBits(written) : written;
  if (code == formats::kCompG4Wrap) {
    Lines lines;
    WrapLineSink sink{[](void* u, std::uint32_t, const std::uint16_t* l, std::uint32_t n) {
                        static_cast<Lines*>(u)->emplace_back(l, l + n);
                        return true;
                      },
                      &lines};
    (void)decodeWrapRaster(data.data(), data.size(), width, height, sink);
    return lines;
  }
  Job job;
  job.code = code;
  job.width = width;
  job.height = height;
  job.strips = {data};
  return runJob(job).lists;
}

inline Lines memoryLines(const ImageMemory* m) {
  Lines out;
  for (std::uint32_t y = 0; y < m->height; ++y) {
    const Transition* l = getLine(m, y);
    out.emplace_back(l, l + listLength(l, m->width));
  }
  return out;
}

}  // namespace hv::engine::test
