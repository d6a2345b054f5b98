#include "formats/strip_reader.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "formats/bit_reversal.h"
#include "platform/file_io.h"

namespace hv::formats {
namespace {


// Delivers bytes read for a coding: CCITT data stored most significant bit
// first is reversed so that the decoder always reads it least significant
// bit first. Uncompressed and PackBits data become packed rows, whose
// leftmost pixel is the most significant bit: stored least significant bit
// first (TIFF FillOrder 2), they are reversed too, as TIFF 6.0 defines the
// fill order for the bytes of every compression.
void finishDelivery(const ImageFileRecord* r, int code, CodeBuffer* buf, CodeInfo* info, int* compression) {
  info->compression = code;
  info->bitOrder = r->fillOrder;
  bool reverse = isCcittCode(code) ? r->fillOrder == 0 : r->fillOrder != 0;
  if (reverse) {
    reverseBits(buf->data, buf->count);
    info->bitOrder = -1;
  }
  *compression = code;
}

Status tileGetCodeBuf(ImageFileRecord* r, CodeBuffer* buf, CodeInfo* info, int* compression) {
  TileReader& t = r->tiles;
  buf->count = 0;
  if (t.current >= t.count) return Status::AllDelivered;
  if (t.offsets.size() < t.count || t.byteCounts.size() < t.count) return Status::ReadFailed;
  std::uint32_t size = t.byteCounts[t.current];
  std::uint8_t type = t.current < t.types.size() ? t.types[t.current] : static_cast<std::uint8_t>(kTileGroup4);
  if (type == kTileBad) return Status::ReadFailed;
  if (type == kTileNullBackground || type == kTileNullForeground) {
    // A null tile: as many fill bytes as an uncompressed tile would hold.
    std::uint32_t whole = static_cast<std::uint32_t>((t.width + 7) / 8) * t.length;
    if (t.position >= whole) return Status::AllDelivered;
    buf->count = std::min(whole - t.position, buf->capacity);
    std::memset(buf->data, type == kTileNullForeground ? 0xFF : 0x00, buf->count);
    t.position += buf->count;
    info->compression = kCompUncompressed;
    info->bitOrder = -1;
    *compression = kCompUncompressed;
    return Status::Ok;
  }
  if (t.position >= size) {
    // An exhausted (or empty) tile: the data of this tile has ended.
    return Status::AllDelivered;
  }
  std::uint32_t want = std::min(size - t.position, buf->capacity);
  long got = platform::readAt(r->fd, buf->data, want,
                              static_cast<std::int64_t>(r->headerOffset) + t.offsets[t.current] + t.position);
  if (got < 0) return Status::ReadFailed;
  if (got == 0) {
    // The file ends before the tile does: nothing further of it exists.
    t.position = size;
    return Status::DataEnded;
  }
  buf->count = static_cast<std::uint32_t>(got);
  t.position += buf->count;
  int code = t.compressions.empty() ? r->sourceCompression : t.compressions[t.current];
  finishDelivery(r, code, buf, info, compression);
  return Status::Ok;
}

}  // namespace

// Eight bytes at a time: swapping single bits, then pairs, then nibbles
// reverses each byte in place; the tail goes through the table.
void reverseBits(std::uint8_t* bytes, std::uint32_t count) {
  std::uint32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    std::uint64_t v;
    std::memcpy(&v, bytes + i, 8);
    v = ((v >> 1) & 0x5555555555555555u) | ((v & 0x5555555555555555u) << 1);
    v = ((v >> 2) & 0x3333333333333333u) | ((v & 0x3333333333333333u) << 2);
    v = ((v >> 4) & 0x0F0F0F0F0F0F0F0Fu) | ((v & 0x0F0F0F0F0F0F0F0Fu) << 4);
    std::memcpy(bytes + i, &v, 8);
  }
  for (; i < count; ++i) bytes[i] = kBitReversal[bytes[i]];
}

Status stripGetCodeBuf(ImageFileRecord* r, CodeBuffer* buf, CodeInfo* info, int* compression) {
  if (r->tiles.count != 0) return tileGetCodeBuf(r, buf, info, compression);
  StripReader& s = r->strips;
  buf->count = 0;
  Status status = Status::Ok;
  // Move past exhausted and empty strips; the first byte of a later strip is
  // announced so that the decoder restarts its coding there.
  while (s.current < s.count && s.position >= s.byteCounts[s.current]) {
    ++s.current;
    s.position = 0;
    status = Status::NewStrip;
  }
  if (s.current >= s.count) return Status::AllDelivered;
  std::uint32_t want = std::min(s.byteCounts[s.current] - s.position, buf->capacity);
  std::int64_t at = static_cast<std::int64_t>(r->headerOffset) + s.offsets[s.current] + s.position;
  long got = platform::readAt(r->fd, buf->data, want, at);
  if (got < 0) return Status::ReadFailed;
  if (got < 1) {
    // The file ends before the strip does: nothing further of it exists.
    s.position = s.byteCounts[s.current];
    return Status::DataEnded;
  }
  buf->count = static_cast<std::uint32_t>(got);
  s.position += buf->count;
  finishDelivery(r, r->compression, buf, info, compression);
  return status;
}

void stripLineInfo(ImageFileRecord* r, std::uint32_t line, std::int32_t bitOffset, std::uint32_t bufferBytes,
                   const std::uint16_t* refLine, std::uint32_t refLineBytes, const std::uint32_t* wrap) {
  if (r->tiles.count != 0) return;
  std::uint32_t spacing = checkpointSpacing(r->height);
  if (line < spacing || line % spacing != 0) return;
  std::uint32_t slot = line / spacing;
  if (slot < 1 || slot >= kCheckpointSlots) return;
  Checkpoint& cp = r->checkpoints[slot];
  if (cp.valid) return;
  const StripReader& s = r->strips;
  // The bit may lie in an earlier buffer of the same strip (negative offset).
  std::int64_t bit = (static_cast<std::int64_t>(s.position) - bufferBytes) * 8 + bitOffset;
  if (bit < 0 || bit > 0xFFFFFFFFll) return;
  cp.strip = static_cast<std::uint16_t>(s.current);
  cp.bitPosition = static_cast<std::uint32_t>(bit);
  cp.refLineBytes = refLine != nullptr ? refLineBytes : 0;
  cp.refLine.assign(refLine, refLine + cp.refLineBytes / 2);
  if (wrap != nullptr) std::copy(wrap, wrap + 5, cp.extra);
  cp.valid = true;
}

Status stripSeek(ImageFileRecord* r, const SeekRequest& wanted, CodeBuffer* buf, CodeInfo* info, int* compression,
                 std::uint16_t* refLine, std::uint32_t refLineEntries, SeekResult* result) {
  *result = SeekResult{};
  buf->count = 0;
  if (r->tiles.count != 0) {
    TileReader& t = r->tiles;
    std::uint32_t x = static_cast<std::uint32_t>(std::max(wanted.x, 0));
    std::uint32_t y = static_cast<std::uint32_t>(std::max(wanted.y, 0));
    std::uint32_t column = t.width ? (x + t.originX) / t.width : 0;
    std::uint32_t row = t.length ? (y + t.originY) / t.length : 0;
    t.current = row * t.across + column;
    t.position = 0;
    result->originX = static_cast<std::int32_t>(column * t.width) - t.originX;
    result->originY = static_cast<std::int32_t>(row * t.length) - t.originY;
    return Status::Ok;
  }
  StripReader& s = r->strips;
  if (r->height == 0 || s.rowsPerStrip == 0) return Status::Ok;
  std::uint32_t y = static_cast<std::uint32_t>(std::max(wanted.y, 0));
  y = std::min(y, r->height - 1);
  std::uint32_t strip = y / s.rowsPerStrip;
  s.current = strip;
  s.position = 0;
  result->originY = static_cast<std::int32_t>(strip * s.rowsPerStrip);
  if (r->compression == kCompUncompressed) {
    s.position = ((r->width + 7) / 8) * (y - strip * s.rowsPerStrip);
    result->originY = static_cast<std::int32_t>(y);
    return Status::Ok;
  }
  if (!isCcittCode(r->compression)) return Status::Ok;
  // The last valid checkpoint at or before y inside the target strip.
  std::uint32_t spacing = checkpointSpacing(r->height);
  for (std::uint32_t k = std::min<std::uint32_t>(y / spacing, kCheckpointSlots - 1); k >= 1; --k) {
    const Checkpoint& cp = r->checkpoints[k];
    if (!cp.valid || cp.bitPosition == 0) continue;
    if (cp.strip < strip) break;  // the strip's own beginning is nearer
    if (cp.strip != strip) continue;
    if (refLine != nullptr && cp.refLine.size() > refLineEntries) continue;
    s.current = cp.strip;
    s.position = cp.bitPosition / 8;
    Status status = stripGetCodeBuf(r, buf, info, compression);
    if ((status != Status::Ok && status != Status::NewStrip) || buf->count == 0 || s.current != cp.strip) {
      // Could not refill at the checkpoint: start at the strip's beginning.
      s.current = strip;
      s.position = 0;
      buf->count = 0;
      return Status::Ok;
    }
    unsigned shift = cp.bitPosition % 8;
    result->originY = static_cast<std::int32_t>(k * spacing);
    result->bits.bitsAvailable = 8;
    result->bits.bitsLeft = static_cast<std::int32_t>(8 - shift);
    result->bits.bitBuffer = static_cast<std::uint32_t>(buf->data[0]) >> shift;
    if (refLine != nullptr && !cp.refLine.empty()) {
      std::copy(cp.refLine.begin(), cp.refLine.end(), refLine);
      result->restoredRefLine = true;
    }
    result->wrap[0] = r->width;
    std::copy(cp.extra, cp.extra + 5, result->wrap + 1);
    return Status::Ok;
  }
  return Status::Ok;
}

void stripClose(ImageFileRecord* r) {
  if (r == nullptr) return;
  if (r->fd >= 0) platform::closeFile(r->fd);
  r->fd = -1;
  freeRecord(r);
}

ReaderPosition readerPosition(const ImageFileRecord* r) {
  if (r->tiles.count != 0) return {r->tiles.current, r->tiles.position};
  return {r->strips.current, r->strips.position};
}

void restoreReaderPosition(ImageFileRecord* r, const ReaderPosition& at) {
  if (r->tiles.count != 0) {
    r->tiles.current = at.unit;
    r->tiles.position = at.byte;
  } else {
    r->strips.current = at.unit;
    r->strips.position = at.byte;
  }
}

Status leaveStrip(ImageFileRecord* r) {
  StripReader& s = r->strips;
  if (s.current + 1 >= s.count || s.current >= s.byteCounts.size()) return Status::AllDelivered;
  s.position = s.byteCounts[s.current];
  return Status::Ok;
}

Status seekStripStream(ImageFileRecord* r, std::uint64_t byte) {
  StripReader& s = r->strips;
  std::uint64_t at = 0;
  for (std::uint32_t k = 0; k < s.count && k < s.byteCounts.size(); ++k) {
    if (byte < at + s.byteCounts[k]) {
      s.current = k;
      s.position = static_cast<std::uint32_t>(byte - at);
      return Status::Ok;
    }
    at += s.byteCounts[k];
  }
  return Status::OutsideImage;
}

}  // namespace hv::formats
