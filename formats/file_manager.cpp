#include "formats/file_manager.h"

#include <cstring>
#include <fcntl.h>
#include <new>
#include <unistd.h>

#include "formats/audre_read.h"
#include "formats/cals1_read.h"
#include "formats/cals2_read.h"
#include "formats/dsed_read.h"
#include "formats/edmics_read.h"
#include "formats/fm_messages.h"
#include "formats/format_tables.h"
#include "formats/identify.h"
#include "formats/tiff_read.h"
#include "platform/exe_dir.h"
#include "platform/file_io.h"
#include "platform/ini_file.h"

namespace hv::formats {
namespace {

// Indexed by filter number; entry 0 is never used.
FilterProcs gFilters[9];

InfoPresenter gPresenter = nullptr;

struct ResolutionDefault {
  bool loaded = false;
  std::uint32_t value = 200;
  std::string iniDir;
};
ResolutionDefault gResolution;

// The procedures a filter number stands for; false when this build has no
// reader for that format.
bool fillFilter(int filter, FilterProcs& procs) {
  switch (filter) {
    case kFilterTiff: procs = tiffFilter(); return true;
    case kFilterCals2: return cals2Filter(procs);
    case kFilterCals1: procs = cals1Filter(); return true;
    case kFilterEdmics5: procs = edmics5Filter(); return true;
    case kFilterEdmics6: procs = edmics6Filter(); return true;
    case kFilterAudre: procs = audreFilter(); return true;
    case kFilterImportExport: procs = dsedFilter(); return true;
    default: return false;
  }
}

bool validRecord(const ImageFileRecord* r) {
  return r != nullptr && r->filter >= 1 && r->filter <= kFilterImportExport && gFilters[r->filter].loaded;
}

}  // namespace

const FilterProcs* boundFilter(int filter) {
  if (filter < 1 || filter > kFilterImportExport || !gFilters[filter].loaded) return nullptr;
  return &gFilters[filter];
}

ImageInformation imageInformation(ImageFileRecord* record) {
  if (!validRecord(record) || gFilters[record->filter].imageInfo == nullptr) return {};
  return gFilters[record->filter].imageInfo(record);
}

void setInfoPresenter(InfoPresenter presenter) { gPresenter = presenter; }

void setIniDirectory(const std::string& dir) {
  gResolution.iniDir = dir;
  gResolution.loaded = false;
}

void resetDefaultResolution() { gResolution.loaded = false; }

std::uint32_t resolveResolution(std::uint32_t value) {
  auto usable = [](long v) { return v >= 1 && v <= 1200 && v % 10 == 0; };
  if (usable(value)) return value;
  if (!gResolution.loaded) {
    std::string path;
    if (!gResolution.iniDir.empty()) {
      path = gResolution.iniDir + "imviewer.ini";
    } else {
      path = platform::findShippedFile("imviewer.ini");
      if (path.empty()) path = platform::executableDir() + "imviewer.ini";
    }
    long res = platform::IniFile::load(path).getInt("FileMgr", "Res", 0);
    gResolution.value = usable(res) ? static_cast<std::uint32_t>(res) : 200;
    gResolution.loaded = true;
  }
  return gResolution.value;
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

extern "C" int imfLoadFileFilter(int filter) {
  if (filter < 1 || filter > kFilterImportExport) return 0;
  FilterProcs& entry = gFilters[filter];
  if (entry.loaded) return filter;
  FilterProcs procs;
  if (!fillFilter(filter, procs)) return 0;
  entry = procs;
  entry.loaded = 1;
  return filter;
}

extern "C" int imfGetFileType(void* /*context*/, const char* path, std::uint32_t* headerOffset) {
  if (path == nullptr || headerOffset == nullptr) return 0;
  int documentType = 0, filter = 0, compression = 0;
  if (!imfTypeDosFile(path, &documentType, &filter, &compression, headerOffset)) {
    report(kWarning, isBigTiff(path) ? kMsgBigTiff : kMsgUnknownType, nullptr);
    return 0;
  }
  if (imfLoadFileFilter(filter) == 0) {
    report(kFatal, kMsgNoFilter, nullptr);
    return 0;
  }
  return filter;
}

extern "C" void imfCloseImage(ImageFileRecord* record) {
  if (record == nullptr) return;
  if (validRecord(record) && gFilters[record->filter].close) {
    gFilters[record->filter].close(record);
    return;
  }
  if (record->fd >= 0) hv::platform::closeFile(record->fd);
  freeRecord(record);
}

extern "C" int imfGetCodeBuf(ImageFileRecord* record, CodeBuffer* buffer, CodeInfo* info, int* compression) {
  if (!validRecord(record) || buffer == nullptr || info == nullptr || compression == nullptr) return 0;
  return gFilters[record->filter].getCodeBuf(record, buffer, info, compression);
}

extern "C" int imfSeekImage(ImageFileRecord* record, const SeekRequest* wanted, CodeBuffer* buffer, CodeInfo* info,
                            int* compression, std::uint16_t* refLine, std::uint32_t refLineEntries,
                            SeekResult* result) {
  if (!validRecord(record) || wanted == nullptr || buffer == nullptr || info == nullptr || compression == nullptr ||
      result == nullptr)
    return 0;
  return gFilters[record->filter].seek(record, *wanted, buffer, info, compression, refLine, refLineEntries, result);
}

extern "C" void imfImageInfo(ImageFileRecord* record, void* owner) {
  if (!validRecord(record)) return;
  ImageInformation info = imageInformation(record);
  if (gPresenter) gPresenter(info, owner);
}

extern "C" void imfLineInfo(ImageFileRecord* record, std::uint32_t line, std::int32_t bitOffset,
                            std::uint32_t bufferBytes, const std::uint16_t* refLine, std::uint32_t refLineBytes,
                            const std::uint32_t* wrap) {
  if (!validRecord(record) || gFilters[record->filter].lineInfo == nullptr) return;
  gFilters[record->filter].lineInfo(record, line, bitOffset, bufferBytes, refLine, refLineBytes, wrap);
}

extern "C" int imfWriteImageSpecs(ImageFileRecord* record, const ImageSpecs* specs, const void* params,
                                  std::uint32_t size) {
  if (!validRecord(record) || gFilters[record->filter].writeSpecs == nullptr) return 0;
  return gFilters[record->filter].writeSpecs(record, specs, params, size);
}

extern "C" int imfWriteBegin(ImageFileRecord* record, const StripDesc* desc) {
  if (!validRecord(record) || gFilters[record->filter].writeBegin == nullptr) return 0;
  return gFilters[record->filter].writeBegin(record, desc);
}

extern "C" int imfWriteCodes(ImageFileRecord* record, WriteCodeBuffer* codes) {
  if (!validRecord(record) || gFilters[record->filter].writeCodes == nullptr) return 0;
  return gFilters[record->filter].writeCodes(record, codes);
}

extern "C" int imfWriteEnd(ImageFileRecord* record, const StripDesc* desc) {
  if (!validRecord(record) || gFilters[record->filter].writeEnd == nullptr) return 0;
  return gFilters[record->filter].writeEnd(record, desc);
}

extern "C" std::int64_t imfFileSeek(ImageFileRecord* record, std::int64_t offset, int origin) {
  if (record == nullptr) return -1;
  switch (origin) {
    case 0: return hv::platform::seekFile(record->fd, record->headerOffset + offset, SEEK_SET);
    case 1:
      if (record->openedForWriting && record->headerOffset != 0) {
        std::int64_t here = hv::platform::seekFile(record->fd, 0, SEEK_CUR);
        return here < 0 ? -1 : here - record->headerOffset;
      }
      return hv::platform::seekFile(record->fd, offset, SEEK_CUR);
    case 2: return hv::platform::seekFile(record->fd, offset, SEEK_END);
    default: return -1;
  }
}
