#include "formats/file_manager.h"

#include <atomic>
#include <cstring>
#include <mutex>
#include <fcntl.h>
#include <new>
#include <unistd.h>

#include "formats/filter_table.h"
#include "formats/fm_messages.h"
#include "formats/format_tables.h"
#include "formats/identify.h"
#include "formats/imf_codes.h"
#include "formats/open_mode.h"
#include "platform/exe_dir.h"
#include "platform/file_io.h"
#include "platform/ini_file.h"

namespace hv::formats {
namespace {

// The installable presenter: read and replaced from any thread.
std::atomic<InfoPresenter> gPresenter{nullptr};

// The default resolution, read from imviewer.ini at first use.
struct ResolutionDefault {
  std::mutex lock;
  bool loaded = false;
  std::uint32_t value = 200;
  std::string iniDir;
};
ResolutionDefault& resolutionDefault() {
  static ResolutionDefault d;
  return d;
}

const FilterProcs* recordFilter(const ImageFileRecord* r) { return r == nullptr ? nullptr : filterProcs(r->filter); }

}  // namespace

const FilterProcs* boundFilter(int filter) { return filterProcs(filter); }

Result<int> loadFileFilter(int filter) {
  if (Status bound = bindFilter(filter); bound != Status::Ok) return bound;
  return filter;
}

Result<int> fileType(const char* path, std::uint32_t& headerOffset) {
  const Result<Identification> found = identifyFile(path);
  if (!found.ok()) {
    if (found.status() == Status::NotFound) headerOffset = kSecondPassOffset;
    report(kWarning, isBigTiff(path) ? kMsgBigTiff : kMsgUnknownType, nullptr);
    return found.status();
  }
  headerOffset = found.value().headerOffset;
  const Result<int> bound = loadFileFilter(found.value().filter);
  if (!bound.ok()) report(kFatal, kMsgNoFilter, nullptr);
  return bound;
}

Result<std::int64_t> fileSeek(ImageFileRecord* record, std::int64_t offset, int origin) {
  if (record == nullptr) return Status::BadArgument;
  int whence;
  switch (origin) {
    case kSeekFromHeader:
      whence = SEEK_SET;
      offset += record->headerOffset;
      break;
    case kSeekFromCurrent: whence = SEEK_CUR; break;
    case kSeekFromEnd: whence = SEEK_END; break;
    default: return Status::BadArgument;
  }
  const std::int64_t here = platform::seekFile(record->fd, offset, whence);
  if (here < 0) return Status::ReadFailed;
  // A writer's positions count from its header offset. Writers ask where
  // they are with offset 0; any other offset moves as it does for a reader.
  if (origin == kSeekFromCurrent && record->openedForWriting && record->headerOffset != 0)
    return here - record->headerOffset;
  return here;
}

ImageInformation imageInformation(ImageFileRecord* record) {
  const FilterProcs* f = recordFilter(record);
  if (f == nullptr || f->imageInfo == nullptr) return {};
  return f->imageInfo(record);
}

void setInfoPresenter(InfoPresenter presenter) { gPresenter.store(presenter); }

void setIniDirectory(const std::string& dir) {
  ResolutionDefault& d = resolutionDefault();
  std::lock_guard<std::mutex> hold(d.lock);
  d.iniDir = dir;
  d.loaded = false;
}

void resetDefaultResolution() {
  ResolutionDefault& d = resolutionDefault();
  std::lock_guard<std::mutex> hold(d.lock);
  d.loaded = false;
}

std::uint32_t resolveResolution(std::uint32_t value) {
  auto usable = [](long v) { return v >= 1 && v <= 1200 && v % 10 == 0; };
  if (usable(value)) return value;
  ResolutionDefault& d = resolutionDefault();
  std::lock_guard<std::mutex> hold(d.lock);
  if (!d.loaded) {
    std::string path;
    if (!d.iniDir.empty()) {
      path = d.iniDir + "imviewer.ini";
    } else {
      path = platform::findShippedFile("imviewer.ini");
      if (path.empty()) path = platform::executableDir() + "imviewer.ini";
    }
    long res = platform::IniFile::load(path).getInt("FileMgr", "Res", 0);
    d.value = usable(res) ? static_cast<std::uint32_t>(res) : 200;
    d.loaded = true;
  }
  return d.value;
}

void keepPartialByte(WriteCodeBuffer* codes) {
  const std::uint32_t whole = codes->bitCount / 8, rem = codes->bitCount % 8;
  if (rem != 0) codes->data[0] = codes->data[whole];
  codes->bitCount = rem;
  codes->byteCount = (rem + 7) / 8;
}

ImageFileRecord* newRecord() { return new (std::nothrow) ImageFileRecord(); }

void freeRecord(ImageFileRecord* record) {
  if (record == nullptr) return;
  if (record->writerState != nullptr && record->freeWriterState != nullptr)
    record->freeWriterState(record->writerState);
  delete record;
}

}  // namespace hv::formats

using namespace hv::formats;

extern "C" int imfLoadFileFilter(int filter) { return toFilterNumber(loadFileFilter(filter)); }

extern "C" int imfGetFileType(void* /*context*/, const char* path, std::uint32_t* headerOffset) {
  if (path == nullptr || headerOffset == nullptr) return toFilterNumber(hv::Status::BadArgument);
  return toFilterNumber(fileType(path, *headerOffset));
}

extern "C" void imfCloseImage(ImageFileRecord* record) {
  if (record == nullptr) return;
  if (const FilterProcs* f = recordFilter(record); f != nullptr && f->close != nullptr) {
    f->close(record);
    return;
  }
  if (record->fd >= 0) hv::platform::closeFile(record->fd);
  freeRecord(record);
}

extern "C" int imfGetCodeBuf(ImageFileRecord* record, CodeBuffer* buffer, CodeInfo* info, int* compression) {
  const FilterProcs* f = recordFilter(record);
  if (f == nullptr || buffer == nullptr || info == nullptr || compression == nullptr)
    return toCodeBufferCode(hv::Status::BadArgument);
  return toCodeBufferCode(f->getCodeBuf(record, buffer, info, compression));
}

extern "C" int imfSeekImage(ImageFileRecord* record, const SeekRequest* wanted, CodeBuffer* buffer, CodeInfo* info,
                            int* compression, std::uint16_t* refLine, std::uint32_t refLineEntries,
                            SeekResult* result) {
  const FilterProcs* f = recordFilter(record);
  if (f == nullptr || wanted == nullptr || buffer == nullptr || info == nullptr || compression == nullptr ||
      result == nullptr)
    return toImfFlag(hv::Status::BadArgument);
  return toImfFlag(f->seek(record, *wanted, buffer, info, compression, refLine, refLineEntries, result));
}

extern "C" void imfImageInfo(ImageFileRecord* record, void* owner) {
  if (recordFilter(record) == nullptr) return;
  ImageInformation info = imageInformation(record);
  if (InfoPresenter present = gPresenter.load()) present(info, owner);
}

extern "C" void imfLineInfo(ImageFileRecord* record, std::uint32_t line, std::int32_t bitOffset,
                            std::uint32_t bufferBytes, const std::uint16_t* refLine, std::uint32_t refLineBytes,
                            const std::uint32_t* wrap) {
  const FilterProcs* f = recordFilter(record);
  if (f == nullptr || f->lineInfo == nullptr) return;
  f->lineInfo(record, line, bitOffset, bufferBytes, refLine, refLineBytes, wrap);
}

namespace hv::formats {

Status writeImageSpecs(ImageFileRecord* record, const ImageSpecs* specs, const void* params, std::uint32_t size) {
  const FilterProcs* f = recordFilter(record);
  if (f == nullptr || f->writeSpecs == nullptr) return Status::Failed;
  return f->writeSpecs(record, specs, params, size);
}

Status writeBegin(ImageFileRecord* record, const StripDesc* desc) {
  const FilterProcs* f = recordFilter(record);
  if (f == nullptr || f->writeBegin == nullptr) return Status::Failed;
  return f->writeBegin(record, desc);
}

Status writeCodes(ImageFileRecord* record, WriteCodeBuffer* codes) {
  const FilterProcs* f = recordFilter(record);
  if (f == nullptr || f->writeCodes == nullptr) return Status::Failed;
  return f->writeCodes(record, codes);
}

Status writeEnd(ImageFileRecord* record, const StripDesc* desc) {
  const FilterProcs* f = recordFilter(record);
  if (f == nullptr || f->writeEnd == nullptr) return Status::Failed;
  return f->writeEnd(record, desc);
}

}  // namespace hv::formats

extern "C" int imfWriteImageSpecs(ImageFileRecord* record, const ImageSpecs* specs, const void* params,
                                  std::uint32_t size) {
  return toImfFlag(writeImageSpecs(record, specs, params, size));
}

extern "C" int imfWriteBegin(ImageFileRecord* record, const StripDesc* desc) {
  return toImfFlag(writeBegin(record, desc));
}

extern "C" int imfWriteCodes(ImageFileRecord* record, WriteCodeBuffer* codes) {
  return toImfFlag(writeCodes(record, codes));
}

extern "C" int imfWriteEnd(ImageFileRecord* record, const StripDesc* desc) { return toImfFlag(writeEnd(record, desc)); }

extern "C" std::int64_t imfFileSeek(ImageFileRecord* record, std::int64_t offset, int origin) {
  return toFilePosition(fileSeek(record, offset, origin));
}
