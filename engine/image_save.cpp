// Saving image memory: the target format code chooses the writer and the
// coding; the encoder feeds the writer through the file manager.
//
// Image memory holds the drawing as shown (a black run is black on screen),
// so every file is written with photometric 0 (min-is-white): the coded data
// is the shown picture and the file never comes back inverted.
#include "engine/image_save.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "engine/ccitt_encode.h"
#include "engine/grx_codes.h"
#include "formats/cals1_layout.h"
#include "formats/cals1_write.h"
#include "formats/cals_compose.h"
#include "formats/file_manager.h"
#include "formats/fm_messages.h"
#include "formats/format_tables.h"
#include "formats/edmics_layout.h"
#include "formats/open_mode.h"
#include "formats/raster_write.h"
#include "formats/tiff_write.h"
#include "formats/tiled_write.h"
#include "engine/image_save_tiled.h"
#include "platform/atomic_file.h"
#include "platform/file_io.h"

using namespace hv::engine;
using hv::Status;
namespace fmt = hv::formats;

namespace {

struct Target {
  int filter = 0;
  int compression = 0;
};

// The writer and coding of a target format code; false when not written.
bool parseTarget(const char* code, Target& t) {
  char c[8];
  std::size_t n = std::strlen(code);
  if (n == 0 || n > 8) return false;
  for (std::size_t i = 0; i < 8; ++i) c[i] = i < n ? static_cast<char>(std::toupper(static_cast<unsigned char>(code[i]))) : ' ';
  const std::string kind(c, 4), coding(c + 4, 4);
  if (kind == "TIFF") {
    t.filter = fmt::kFilterTiff;
    if (coding == "GP3 ") t.compression = fmt::kCompG3OneD;
    else if (coding == "GP3T") t.compression = fmt::kCompModHuffman;
    else if (coding == "GP4 ") t.compression = fmt::kCompG4;
    else if (coding == "RAWM") t.compression = fmt::kCompUncompressed;
    else if (coding == "GP4W") t.compression = fmt::kCompG4Wrap;
    else return false;
    return true;
  }
  if (kind == "CAL1" && coding == "GP4 ") {
    t.filter = fmt::kFilterCals1;
    t.compression = fmt::kCompG4;
    return true;
  }
  const struct {
    const char* code;
    int filter, compression;
  } kOthers[] = {{"CAL2GP4 ", fmt::kFilterCals2, fmt::kCompG4},
                 {"EDM6GP4 ", fmt::kFilterEdmics6, fmt::kCompG4},
                 {"AUD RAWM", fmt::kFilterAudre, fmt::kCompUncompressed},
                 {"DSEDGP4W", fmt::kFilterImportExport, fmt::kCompG4Wrap}};
  for (const auto& o : kOthers)
    if (kind + coding == o.code) {
      t.filter = o.filter;
      t.compression = o.compression;
      return true;
    }
  return false;
}

// The write procedures of a target: the bound filter's, or for the
// IMPORT/EXPORT image (a filter without a reading side) the writer's own.
struct WriteProcs {
  Status (*specs)(fmt::ImageFileRecord*, const fmt::ImageSpecs*, const void*, std::uint32_t);
  Status (*begin)(fmt::ImageFileRecord*, const fmt::StripDesc*);
  Status (*codes)(fmt::ImageFileRecord*, fmt::WriteCodeBuffer*);
  Status (*end)(fmt::ImageFileRecord*, const fmt::StripDesc*);
};

std::uint32_t alignUp(std::uint32_t v, int alignment) {
  if (alignment != 8 && alignment != 16) return v;
  return (v + static_cast<std::uint32_t>(alignment) - 1) / static_cast<std::uint32_t>(alignment) *
         static_cast<std::uint32_t>(alignment);
}

// Puts the image memory back to its first size whatever the save did.
struct SizeRestore {
  ImageMemory* mem;
  std::uint32_t width, height;
  ~SizeRestore() {
    if (mem->height != height) (void)setImageHeight(mem, height);
    if (mem->width != width) (void)setImageWidth(mem, width);
  }
};

Status flushToWriter(void* ctx, fmt::WriteCodeBuffer* buffer) {
  return fmt::writeCodes(static_cast<fmt::ImageFileRecord*>(ctx), buffer);
}

Status flushToDsed(void* ctx, fmt::WriteCodeBuffer* buffer) {
  return fmt::rasterWriteCodes(static_cast<fmt::ImageFileRecord*>(ctx), buffer);
}

// Writes the image into `path` through the filter's write protocol.
bool writeImage(ImageHdl h, const Target& t, const char* path, const GrxSaveOptions& opt, GrxProgress progress) {
  WriteProcs wp{fmt::writeImageSpecs, fmt::writeBegin, fmt::writeCodes, fmt::writeEnd};
  const fmt::FilterProcs* procs = nullptr;
  if (t.filter == fmt::kFilterImportExport) {
    wp = WriteProcs{fmt::dsedWriteSpecs, fmt::rasterWriteBegin, fmt::rasterWriteCodes, fmt::rasterWriteEnd};
  } else {
    const hv::Result<int> bound = fmt::loadFileFilter(t.filter);
    procs = bound.ok() ? fmt::boundFilter(bound.value()) : nullptr;
    if (procs == nullptr || procs->open == nullptr) return false;
  }
  ImageMemory* mem = h->memory;
  fmt::ImageFileRecord* src = h->record;

  fmt::ImageSpecs specs{static_cast<std::uint32_t>(t.filter), mem->width, mem->height, 1, 0, 0,
                        src->xResolution, src->yResolution ? src->yResolution : src->xResolution,
                        static_cast<std::uint32_t>(t.compression)};
  fmt::TiffWriteParams tiff;
  fmt::Cals1WriteParams cals;
  fmt::Cals2WriteParams cals2;
  fmt::Edm6WriteParams edm6;
  std::vector<char> block;
  std::string card;
  const void* params = nullptr;
  std::uint32_t size = 0;
  if (t.filter == fmt::kFilterAudre || t.filter == fmt::kFilterImportExport) {
    // Their headers are made from the image alone.
  } else if (t.filter == fmt::kFilterEdmics6) {
    const char* sourcePath = opt.sourcePath ? opt.sourcePath : src->path;
    std::string userData = opt.settingsFile ? fmt::cals::readUserData(opt.settingsFile, fmt::cals::kKeyC4) : std::string();
    card = fmt::cals::composeCard(userData, fmt::cals::captureSource(sourcePath));
    edm6.card = card.c_str();
    params = &edm6;
    size = sizeof edm6;
  } else if (t.filter == fmt::kFilterTiff) {
    tiff.rowsPerStrip = mem->height;
    if (opt.software) std::snprintf(tiff.software, sizeof tiff.software, "%s", opt.software);
    params = &tiff;
    size = sizeof tiff;
  } else {
    const char* sourcePath = opt.sourcePath ? opt.sourcePath : src->path;
    fmt::cals::SourceHeader source = fmt::cals::captureSource(sourcePath);
    const char* key = opt.header1840B ? fmt::cals::kKey1840B : fmt::cals::kKey1840A;
    std::string userData = opt.settingsFile ? fmt::cals::readUserData(opt.settingsFile, key) : std::string();
    block.assign(fmt::cals::kBlockBytes, ' ');
    fmt::cals::composeHeader(block.data(), opt.header1840B != 0, userData, source);
    cals.header = block.data();
    cals.pelPath = src->pelPath;
    cals.lineProgression = src->lineProgression;
    params = &cals;
    size = sizeof cals;
    if (t.filter == fmt::kFilterCals2) {
      cals2.header = block.data();
      cals2.pelPath = src->pelPath;
      cals2.lineProgression = src->lineProgression;
      params = &cals2;
      size = sizeof cals2;
    }
  }

  // Audre files refuse the writing mode of their filter; IMPORT/EXPORT
  // images have no filter: both are created by their writers.
  fmt::ImageFileRecord* rec = t.filter == fmt::kFilterAudre          ? fmt::audreCreate(path)
                              : t.filter == fmt::kFilterImportExport ? fmt::dsedCreate(path)
                                                                     : procs->open(nullptr, path, fmt::kOpenWrite, 0);
  if (rec == nullptr) return false;
  bool ok = wp.specs(rec, &specs, params, size) == Status::Ok;
  if (t.filter == fmt::kFilterCals2 || t.filter == fmt::kFilterEdmics6) {
    // EDMICS VI sizes a tile in 16 bits; CALS Type 2 tiles are always coded.
    std::uint32_t maxTile = t.filter == fmt::kFilterEdmics6 ? fmt::edm6::kMaxTileBytes : 0xFFFFFFFFu;
    ok = ok && writeTiles(rec, mem, maxTile, progress) == Status::Ok;
    if (rec->fd >= 0) hv::platform::closeFile(rec->fd);
    rec->fd = -1;
    fmt::freeRecord(rec);
    return ok;
  }
  fmt::StripDesc strip{0, 0, mem->width, mem->height};
  ok = ok && wp.begin(rec, &strip) == Status::Ok;
  if (ok) {
    const bool raw = t.compression == fmt::kCompUncompressed;
    std::vector<std::uint8_t> buffer(raw ? kRawBufferBytes : kEncodeBufferBytes);
    EncoderState enc;
    enc.compression = t.compression;
    enc.flushContext = rec;
    enc.memory = mem;
    enc.width = static_cast<std::uint16_t>(mem->width);
    enc.rowBytes = static_cast<std::uint16_t>(t.filter == fmt::kFilterAudre ? fmt::audreQuadWidth(mem->width)
                                                                              : (mem->width + 7) / 8);
    enc.lines = static_cast<std::uint16_t>(mem->height);
    enc.out = fmt::WriteCodeBuffer{buffer.data(), 0, 0, 0};
    enc.capacity = static_cast<std::uint32_t>(buffer.size());
    enc.flush = t.filter == fmt::kFilterImportExport ? flushToDsed : flushToWriter;
    enc.progress = progress;
    ok = encodeImage(&enc) == hv::Status::Ok;
    // The last whole bytes go now; write-end completes the partial byte.
    ok = ok && wp.codes(rec, &enc.out) == Status::Ok;
    ok = ok && wp.end(rec, &strip) == Status::Ok;
  }
  if (t.filter == fmt::kFilterImportExport) {
    if (rec->fd >= 0) hv::platform::closeFile(rec->fd);
    rec->fd = -1;
    fmt::freeRecord(rec);
  } else {
    imfCloseImage(rec);
  }
  return ok;
}

}  // namespace

namespace {

// Image memory places pixels at 16-bit positions, so the tiled writers lay
// out at most 127 tiles of 512 (65,024 pixels) in each direction. Returns
// what the drawing exceeds, or "".
std::string tiledLimitExceeded(const Target& t, std::uint32_t width, std::uint32_t height) {
  if (t.filter != fmt::kFilterCals2 && t.filter != fmt::kFilterEdmics6) return {};
  constexpr std::uint32_t kMaxTiles = 127, kMax = kMaxTiles * fmt::kWriteTileSide;
  if (width <= kMax && height <= kMax) return {};
  const char* name = t.filter == fmt::kFilterCals2 ? "a CALS Type 2 file" : "an EDMICS VI file";
  const bool wide = width > kMax;
  return "the drawing is " + std::to_string(wide ? width : height) + " pixels " + (wide ? "wide" : "high") + "; " +
         name + " holds at most " + std::to_string(kMax) + " (" + std::to_string(kMaxTiles) + " tiles of " +
         std::to_string(fmt::kWriteTileSide) + " pixels) in each direction";
}

// Why the last save of this thread failed.
thread_local std::string g_saveError;

Status saveFailed(const std::string& why) {
  g_saveError = why;
  return Status::Failed;
}

Status saveImage(GrxProgress progress, ImageHdl h, const char* path, const char* targetFormat, const void* userData,
                 int widthAlignment, int heightAlignment) {
  g_saveError.clear();
  if (h == nullptr) return Status::NoHandle;
  if (path == nullptr || path[0] == '\0' || targetFormat == nullptr || h->record == nullptr) return Status::BadArgument;
  if (h->memory == nullptr) return Status::NoImageMemory;
  Target target;
  if (!parseTarget(targetFormat, target)) return Status::Unsupported;
  GrxSaveOptions options;
  if (userData != nullptr) options = *static_cast<const GrxSaveOptions*>(userData);
  if (std::strlen(path) >= fmt::kPathBytes) return Status::BadArgument;

  ImageMemory* mem = h->memory;
  SizeRestore restore{mem, mem->width, mem->height};
  const std::uint32_t width = alignUp(mem->width, widthAlignment);
  const std::uint32_t height = alignUp(mem->height, heightAlignment);
  // TIFF holds width and height as 16-bit values, and so does the encoder.
  if (width > 65535 || height > 65535) return Status::AlignFailed;
  if (std::string limit = tiledLimitExceeded(target, width, height); !limit.empty())
    return saveFailed(std::string(path) + ": " + limit);
  if (width != mem->width && setImageWidth(mem, width) != Status::Ok) return Status::AlignFailed;
  if (height != mem->height && setImageHeight(mem, height) != Status::Ok) return Status::AlignFailed;

  std::error_code ec;
  std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent, ec);
  hv::platform::AtomicFile out;
  std::string writerPath;
  if (out.open(path) != Status::Ok || out.writerPath(writerPath) != Status::Ok) return saveFailed(out.error());
  bool written;
  const unsigned long reportedBefore = fmt::messagesReported();
  {
    // The writers' messages name the user's file, not the temporary.
    fmt::MessagePathAlias alias(writerPath, path);
    written = writeImage(h, target, writerPath.c_str(), options, progress);
  }
  if (!written) {
    // A writer that reported why has told the user already.
    if (fmt::messagesReported() != reportedBefore) return Status::Failed;
    return saveFailed(std::string(path) + ": the image could not be written");
  }
  if (out.commit() != Status::Ok) return saveFailed(out.error());
  return Status::Ok;
}

}  // namespace

extern "C" int grxSaveImage(GrxProgress progress, ImageHdl h, const char* path, const char* targetFormat,
                            const void* userData, int widthAlignment, int heightAlignment) {
  return toGrxCode(saveImage(progress, h, path, targetFormat, userData, widthAlignment, heightAlignment));
}

extern "C" const char* grxSaveErrorText(void) { return g_saveError.c_str(); }
