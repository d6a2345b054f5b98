// TIFF writer: a fixed directory of 12 entries after the header, the
// resolutions and the Software text after it, then the coded strips one after
// another (TIFF 6.0 sections 2 and 3).
#include "formats/tiff_write.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "formats/cals1_write.h"
#include "formats/compression_codes.h"
#include "formats/fm_messages.h"
#include "formats/format_tables.h"
#include "formats/strip_reader.h"
#include "formats/tiff_tags.h"
#include "platform/file_io.h"

namespace hv::formats {
namespace {

constexpr std::uint32_t kDirOffset = 8;
constexpr std::uint16_t kEntryCount = 12;
constexpr std::uint32_t kXResOffset = kDirOffset + 2 + kEntryCount * 12 + 4;
constexpr std::uint32_t kYResOffset = kXResOffset + 8;
constexpr std::uint32_t kSoftwareOffset = kYResOffset + 8;
static_assert(kXResOffset == 158 && kYResOffset == 166 && kSoftwareOffset == 174);

struct TiffWriter {
  bool bigEndian = false;
  bool error = false;
  ImageSpecs specs{};
  std::uint32_t rowsPerStrip = 0;
  std::uint32_t strips = 1, stripIndex = 0;
  std::uint64_t stripBytes = 0;
  std::uint64_t dataPos = 0;    // where the next strip begins
  std::uint32_t arraysPos = 0;  // offset and byte-count arrays (several strips)
  std::vector<std::uint32_t> offsets, counts;
  std::string software;
  WriteCodeBuffer* pending = nullptr;  // the buffer last handed to write-codes
};

TiffWriter* writerOf(ImageFileRecord* r) { return static_cast<TiffWriter*>(r->writerState); }

void freeWriter(void* p) { delete static_cast<TiffWriter*>(p); }

class Bytes {
 public:
  explicit Bytes(bool big) : big_(big) {}
  void u16(std::uint16_t v) {
    if (big_) {
      b_.push_back(static_cast<std::uint8_t>(v >> 8));
      b_.push_back(static_cast<std::uint8_t>(v));
    } else {
      b_.push_back(static_cast<std::uint8_t>(v));
      b_.push_back(static_cast<std::uint8_t>(v >> 8));
    }
  }
  void u32(std::uint32_t v) {
    if (big_) {
      u16(static_cast<std::uint16_t>(v >> 16));
      u16(static_cast<std::uint16_t>(v));
    } else {
      u16(static_cast<std::uint16_t>(v));
      u16(static_cast<std::uint16_t>(v >> 16));
    }
  }
  // A directory entry; a SHORT value stands in the first two bytes of the field.
  void entry(std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint32_t value) {
    u16(tag);
    u16(type);
    u32(count);
    if (type == kTiffShort && count == 1) {
      u16(static_cast<std::uint16_t>(value));
      u16(0);
    } else {
      u32(value);
    }
  }
  const std::vector<std::uint8_t>& data() const { return b_; }

 private:
  bool big_;
  std::vector<std::uint8_t> b_;
};

bool writeAt(ImageFileRecord* r, std::uint64_t pos, const void* data, std::size_t n) {
  if (platform::seekFile(r->fd, static_cast<std::int64_t>(r->headerOffset + pos), SEEK_SET) < 0) return false;
  return platform::writeFull(r->fd, data, n);
}

// The directory with the current strip offsets and byte counts.
std::vector<std::uint8_t> directory(const TiffWriter& w) {
  Bytes d(w.bigEndian);
  const ImageSpecs& s = w.specs;
  const bool one = w.strips == 1;
  d.u16(kEntryCount);
  d.entry(kTiffNewSubfileType, kTiffLong, 1, 0);
  d.entry(kTiffImageWidth, kTiffShort, 1, s.width);
  d.entry(kTiffImageLength, kTiffShort, 1, s.height);
  d.entry(kTiffCompression, kTiffShort, 1, tiffCompressionForRecord(static_cast<int>(s.compression)));
  d.entry(kTiffPhotometric, kTiffShort, 1, s.photometric);
  d.entry(kTiffFillOrder, kTiffShort, 1, s.fillOrder ? kTiffFillLsbFirst : kTiffFillMsbFirst);
  d.entry(kTiffStripOffsets, kTiffLong, w.strips, one ? w.offsets[0] : w.arraysPos);
  d.entry(kTiffRowsPerStrip, kTiffLong, 1, w.rowsPerStrip);
  d.entry(kTiffStripByteCounts, kTiffLong, w.strips, one ? w.counts[0] : w.arraysPos + w.strips * 4);
  d.entry(kTiffXResolution, kTiffRational, 1, kXResOffset);
  d.entry(kTiffYResolution, kTiffRational, 1, kYResOffset);
  d.entry(kTiffSoftware, kTiffAscii, static_cast<std::uint32_t>(w.software.size() + 1), kSoftwareOffset);
  d.u32(0);
  return d.data();
}

std::vector<std::uint8_t> stripArrays(const TiffWriter& w) {
  Bytes a(w.bigEndian);
  for (std::uint32_t v : w.offsets) a.u32(v);
  for (std::uint32_t v : w.counts) a.u32(v);
  return a.data();
}

bool writeDirectory(ImageFileRecord* r, const TiffWriter& w) {
  auto dir = directory(w);
  if (!writeAt(r, kDirOffset, dir.data(), dir.size())) return false;
  if (w.strips > 1) {
    auto arrays = stripArrays(w);
    if (!writeAt(r, w.arraysPos, arrays.data(), arrays.size())) return false;
  }
  return true;
}

Status failWrite(ImageFileRecord* r) {
  if (TiffWriter* w = writerOf(r)) w->error = true;
  report(kWarning, kMsgUnableToWrite, r->path);
  return Status::WriteFailed;
}

}  // namespace

Status appendWholeBytes(ImageFileRecord* r, WriteCodeBuffer* codes, std::uint64_t* written) {
  const std::uint32_t whole = codes->bitCount / 8;
  if (whole != 0 && !platform::writeFull(r->fd, codes->data, whole)) return Status::WriteFailed;
  *written += whole;
  keepPartialByte(codes);
  return Status::Ok;
}

Status appendRemainder(ImageFileRecord* r, WriteCodeBuffer* codes, std::uint64_t* written) {
  if (Status appended = appendWholeBytes(r, codes, written); appended != Status::Ok) return appended;
  if (codes->bitCount != 0) {
    const auto last = static_cast<std::uint8_t>(codes->data[0] & (0xFF00u >> codes->bitCount));
    if (!platform::writeFull(r->fd, &last, 1)) return Status::WriteFailed;
    *written += 1;
  }
  codes->bitCount = 0;
  codes->byteCount = 0;
  return Status::Ok;
}

Status tiffWriteSpecs(ImageFileRecord* r, const ImageSpecs* specs, const void* params, std::uint32_t size) {
  if (r == nullptr || specs == nullptr || params == nullptr || !r->openedForWriting || r->fd < 0) return Status::Failed;
  if (specs->filter != kFilterTiff || specs->bitsPerPixel != 1 || size != sizeof(TiffWriteParams)) return Status::Failed;
  TiffWriteParams p;
  std::memcpy(&p, params, sizeof p);
  const bool big = (p.byteOrder & 0xFFFF) == ('M' | 'M' << 8);
  const bool little = (p.byteOrder & 0xFFFF) == ('I' | 'I' << 8);
  // TIFF holds width and height as SHORT here; Compression must be writable.
  if ((!big && !little) || p.rowsPerStrip == 0 || specs->width == 0 || specs->width > 65535 ||
      specs->height == 0 || specs->height > 65535 || tiffCompressionForRecord(static_cast<int>(specs->compression)) == 0)
    return Status::Failed;
  std::memcpy(r->writeParams, params, sizeof p);
  auto* w = new (std::nothrow) TiffWriter;
  if (w == nullptr) return Status::Failed;
  r->writerState = w;
  r->freeWriterState = freeWriter;
  w->bigEndian = big;
  w->specs = *specs;
  w->specs.xResolution = resolveResolution(specs->xResolution);
  w->specs.yResolution = resolveResolution(specs->yResolution);
  r->width = specs->width;
  r->height = specs->height;
  r->bitsPerPixel = 1;
  r->fillOrder = static_cast<int>(specs->fillOrder);
  r->photometric = static_cast<int>(specs->photometric);
  r->xResolution = w->specs.xResolution;
  r->yResolution = w->specs.yResolution;
  r->compression = static_cast<int>(specs->compression);
  w->rowsPerStrip = std::min(p.rowsPerStrip, specs->height);
  w->strips = (specs->height + w->rowsPerStrip - 1) / w->rowsPerStrip;
  p.software[sizeof p.software - 1] = '\0';
  w->software = p.software[0] != '\0' ? std::string(p.software) : std::string(kEngineSoftware);
  w->offsets.assign(w->strips, 0);
  w->counts.assign(w->strips, 0);

  const std::uint64_t textEnd = kSoftwareOffset + w->software.size() + 1;
  if (w->strips == 1) {
    w->dataPos = textEnd;
    w->offsets[0] = static_cast<std::uint32_t>(textEnd);
  } else {
    // Arrays start on a word boundary, as TIFF 6.0 asks of every offset.
    w->arraysPos = static_cast<std::uint32_t>((textEnd + 1) & ~std::uint64_t{1});
    w->dataPos = w->arraysPos + std::uint64_t{w->strips} * 8;
  }
  Bytes head(big);
  head.u16(static_cast<std::uint16_t>(p.byteOrder));
  head.u16(kTiffVersion);
  head.u32(kDirOffset);
  Bytes rationals(big);
  rationals.u32(w->specs.xResolution);
  rationals.u32(1);
  rationals.u32(w->specs.yResolution);
  rationals.u32(1);
  bool ok = true;
  if (!r->prefix.empty()) {
    ok = platform::seekFile(r->fd, 0, SEEK_SET) == 0 && platform::writeFull(r->fd, r->prefix.data(), r->prefix.size());
  }
  ok = ok && writeAt(r, 0, head.data().data(), head.data().size()) && writeDirectory(r, *w) &&
       writeAt(r, kXResOffset, rationals.data().data(), rationals.data().size()) &&
       writeAt(r, kSoftwareOffset, w->software.c_str(), w->software.size() + 1);
  if (!ok) {
    failWrite(r);
    return Status::Failed;
  }
  return Status::Ok;
}

Status tiffWriteBegin(ImageFileRecord* r, const StripDesc* desc) {
  TiffWriter* w = r ? writerOf(r) : nullptr;
  if (w == nullptr || w->error || desc == nullptr || w->stripIndex >= w->strips) return Status::Failed;
  if (w->strips > 1) {
    const std::uint32_t top = w->stripIndex * w->rowsPerStrip;
    const std::uint32_t bottom = std::min(top + w->rowsPerStrip, w->specs.height);
    if (desc->left != 0 || desc->top != top || desc->right != w->specs.width || desc->bottom != bottom) return Status::Failed;
  }
  if (w->dataPos > 0xFFFFFFFFu) return failWrite(r);
  w->offsets[w->stripIndex] = static_cast<std::uint32_t>(w->dataPos);
  if (platform::seekFile(r->fd, static_cast<std::int64_t>(r->headerOffset + w->dataPos), SEEK_SET) < 0)
    return failWrite(r);
  w->stripBytes = 0;
  return Status::Ok;
}

Status tiffWriteCodes(ImageFileRecord* r, WriteCodeBuffer* codes) {
  TiffWriter* w = r ? writerOf(r) : nullptr;
  if (w == nullptr || w->error || codes == nullptr) return Status::Failed;
  w->pending = codes;
  if (appendWholeBytes(r, codes, &w->stripBytes) != Status::Ok) return failWrite(r);
  return Status::Ok;
}

// The strip's last bits, then its byte count. After the last strip the
// directory is rewritten with the final counts and the data is made durable,
// so that the result tells whether the file is complete.
Status tiffWriteEnd(ImageFileRecord* r, const StripDesc* /*desc*/) {
  TiffWriter* w = r ? writerOf(r) : nullptr;
  if (w == nullptr || w->error || w->stripIndex >= w->strips) return Status::Failed;
  if (w->pending != nullptr && appendRemainder(r, w->pending, &w->stripBytes) != Status::Ok) return failWrite(r);
  w->pending = nullptr;
  if (w->stripBytes > 0xFFFFFFFFu || w->dataPos + w->stripBytes > 0xFFFFFFFFu) return failWrite(r);
  w->counts[w->stripIndex] = static_cast<std::uint32_t>(w->stripBytes);
  w->dataPos += w->stripBytes;
  ++w->stripIndex;
  if (w->stripIndex == w->strips) {
    if (!writeDirectory(r, *w) || ::fsync(r->fd) != 0) return failWrite(r);
  }
  return Status::Ok;
}

}  // namespace hv::formats
