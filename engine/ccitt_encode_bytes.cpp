// Coding an image memory into memory rather than through a file.
#include "engine/ccitt_encode.h"

namespace hv::engine {

Status appendCodes(void* vector, formats::WriteCodeBuffer* buffer) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(vector);
  out->insert(out->end(), buffer->data, buffer->data + buffer->bitCount / 8);
  formats::keepPartialByte(buffer);
  return Status::Ok;
}

Status encodeToBytes(const ImageMemory* mem, int compression, std::vector<std::uint8_t>& out, std::uint32_t capacity) {
  out.clear();
  if (capacity == 0) capacity = compression == formats::kCompUncompressed ? kRawBufferBytes : kEncodeBufferBytes;
  std::vector<std::uint8_t> buffer(capacity);
  EncoderState enc;
  enc.compression = compression;
  enc.flushContext = &out;
  enc.memory = mem;
  enc.out = formats::WriteCodeBuffer{buffer.data(), 0, 0, 0};
  enc.capacity = capacity;
  enc.flush = appendCodes;
  Status result = encodeImage(&enc);
  (void)appendCodes(&out, &enc.out);
  if (enc.out.bitCount != 0) out.push_back(static_cast<std::uint8_t>(enc.out.data[0] & (0xFF00u >> enc.out.bitCount)));
  return result;
}

}  // namespace hv::engine
