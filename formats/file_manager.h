#pragma once
// The image file manager: binds a file's format filter and dispatches every
// reading and writing call to the filter's procedures.
#include <cstdint>
#include <string>
#include <vector>

#include "formats/code_buffer.h"
#include "formats/identify.h"
#include "formats/image_file.h"
#include "formats/open_mode.h"
#include "formats/open_mode.h"
#include "platform/export.h"
#include "platform/status.h"

namespace hv::formats {

// Decoder bit state handed back by a seek: the decoder continues with
// `bitBuffer` holding `bitsLeft` unread bits of the first buffer byte. Zero
// bits available means the decoder starts at the beginning of the strip.
struct SeekBitState {
  std::int32_t bitsAvailable = 0;
  std::uint32_t bitBuffer = 0;
  std::int32_t bitsLeft = 0;
};

// The image specifications a writer receives.
struct ImageSpecs {
  std::uint32_t filter, width, height, bitsPerPixel, fillOrder, photometric, xResolution, yResolution,
      compression;
};

// A strip or tile being written (left, top, right, bottom).
struct StripDesc {
  std::uint32_t left, top, right, bottom;
};

// The encoder's output as handed to write-codes.
struct WriteCodeBuffer {
  std::uint8_t* data;
  std::uint32_t unused;
  std::uint32_t bitCount;
  std::uint32_t byteCount;
};

// The write-codes contract, after the buffer's whole bytes (bitCount / 8)
// have gone out: the incomplete last byte moves to the front of the buffer
// and only its bits stay counted.
HV_EXPORT void keepPartialByte(WriteCodeBuffer* codes);

// Labelled, already formatted values of a format's information dialog.
struct InfoField {
  std::string label;
  std::string value;
};
struct ImageInformation {
  std::string title;  // the dialog's caption
  std::vector<InfoField> fields;
};

struct SeekRequest {
  std::int32_t x = 0, y = 0;
};
struct SeekResult {
  std::int32_t originX = 0, originY = 0;
  SeekBitState bits;
  std::uint32_t wrap[6] = {};
  bool restoredRefLine = false;
};

// A filter: the procedures of one format (the constant table of
// filter_table.h holds one per filter number).
struct FilterProcs {
  // mode: an OpenMode (open_mode.h).
  ImageFileRecord* (*open)(void* context, const char* path, int mode, std::uint32_t headerOffset) = nullptr;
  void (*close)(ImageFileRecord*) = nullptr;
  Status (*getCodeBuf)(ImageFileRecord*, CodeBuffer*, CodeInfo*, int* compression) = nullptr;  // see code_buffer.h
  // Ok, or OutsideImage for a position the reader cannot seek to.
  Status (*seek)(ImageFileRecord*, const SeekRequest&, CodeBuffer*, CodeInfo*, int* compression,
                 std::uint16_t* refLine, std::uint32_t refLineEntries, SeekResult*) = nullptr;
  ImageInformation (*imageInfo)(ImageFileRecord*) = nullptr;
  void (*lineInfo)(ImageFileRecord*, std::uint32_t line, std::int32_t bitOffset, std::uint32_t bufferBytes,
                   const std::uint16_t* refLine, std::uint32_t refLineBytes,
                   const std::uint32_t* wrap) = nullptr;
  // The write protocol: Ok, or WriteFailed (reported to the user) or Failed
  // (a call out of order, bad specifications, a writer already in error).
  Status (*writeSpecs)(ImageFileRecord*, const ImageSpecs*, const void* params, std::uint32_t size) = nullptr;
  Status (*writeBegin)(ImageFileRecord*, const StripDesc*) = nullptr;
  Status (*writeCodes)(ImageFileRecord*, WriteCodeBuffer*) = nullptr;
  Status (*writeEnd)(ImageFileRecord*, const StripDesc*) = nullptr;
};

// The write protocol of the record's filter (the work behind imfWrite*);
// Failed when the record has no filter or the filter does not write.
Status writeImageSpecs(ImageFileRecord* record, const ImageSpecs* specs, const void* params, std::uint32_t size);
Status writeBegin(ImageFileRecord* record, const StripDesc* desc);
Status writeCodes(ImageFileRecord* record, WriteCodeBuffer* codes);
Status writeEnd(ImageFileRecord* record, const StripDesc* desc);

// The procedures of a filter, or null for a filter number without a reader.
HV_EXPORT const FilterProcs* boundFilter(int filter);

// The work behind imfLoadFileFilter: the filter number once bound, else why
// not (bindFilter, filter_table.h).
Result<int> loadFileFilter(int filter);
// The work behind imfGetFileType: identifies path and binds its filter,
// reporting "Unknown Type" (or the BigTIFF message) for a file no test
// recognises and the fatal message when the filter cannot be bound.
// headerOffset is set as imfTypeDosFile sets it.
Result<int> fileType(const char* path, std::uint32_t& headerOffset);
// The work behind imfFileSeek: the new position, relative to the header
// offset for a writer asking from its current position; BadArgument for a
// null record or an unknown origin, ReadFailed when lseek fails.
Result<std::int64_t> fileSeek(ImageFileRecord* record, std::int64_t offset, int origin);

// The information a format's dialog shows, as data.
HV_EXPORT ImageInformation imageInformation(ImageFileRecord* record);

// Shows image information: the program installs a presenter (the viewer a
// modal dialog); without one nothing is shown. Installing and showing are
// safe from any thread.
using InfoPresenter = void (*)(const ImageInformation&, void* owner);
HV_EXPORT void setInfoPresenter(InfoPresenter presenter);

// The default resolution: `value` when it is 1..1200 and a multiple of 10,
// otherwise the default from imviewer.ini ([FileMgr] Res), 200 when that is
// absent or unusable. The file is read once (safe from any thread).
HV_EXPORT std::uint32_t resolveResolution(std::uint32_t value);
// Forgets the cached default (tests, or after imviewer.ini changed).
HV_EXPORT void resetDefaultResolution();
// Where imviewer.ini is looked for: the directory given here (tests), else the
// current directory, else beside the executable.
HV_EXPORT void setIniDirectory(const std::string& dir);

// Record allocation and release for the filters.
HV_EXPORT ImageFileRecord* newRecord();
HV_EXPORT void freeRecord(ImageFileRecord* record);

}  // namespace hv::formats

extern "C" {
// Binds filter 1..7 (every filter with a reader; CALS Type 2 only while its
// tag tables load) and returns its number; 0 otherwise.
[[nodiscard]] HV_EXPORT int imfLoadFileFilter(int filter);
// Identifies path and binds its filter. Returns the filter number, 0 when the
// file is unknown ("Unknown Type") or its filter cannot be bound (fatal).
[[nodiscard]] HV_EXPORT int imfGetFileType(void* context, const char* path, std::uint32_t* headerOffset);

HV_EXPORT void imfCloseImage(hv::formats::ImageFileRecord* record);
// Next coded bytes: 0, 8 (a new strip begins), 9 (no more data), 10 (read
// error, also for a missing record or argument) or 4 (short read).
[[nodiscard]] HV_EXPORT int imfGetCodeBuf(hv::formats::ImageFileRecord* record,
                                          hv::formats::CodeBuffer* buffer, hv::formats::CodeInfo* info,
                                          int* compression);
[[nodiscard]] HV_EXPORT int imfSeekImage(hv::formats::ImageFileRecord* record,
                                         const hv::formats::SeekRequest* wanted,
                                         hv::formats::CodeBuffer* buffer, hv::formats::CodeInfo* info,
                                         int* compression, std::uint16_t* refLine,
                                         std::uint32_t refLineEntries, hv::formats::SeekResult* result);
HV_EXPORT void imfImageInfo(hv::formats::ImageFileRecord* record, void* owner);
HV_EXPORT void imfLineInfo(hv::formats::ImageFileRecord* record, std::uint32_t line, std::int32_t bitOffset,
                           std::uint32_t bufferBytes, const std::uint16_t* refLine,
                           std::uint32_t refLineBytes, const std::uint32_t* wrap);
[[nodiscard]] HV_EXPORT int imfWriteImageSpecs(hv::formats::ImageFileRecord* record,
                                               const hv::formats::ImageSpecs* specs, const void* params,
                                               std::uint32_t size);
[[nodiscard]] HV_EXPORT int imfWriteBegin(hv::formats::ImageFileRecord* record,
                                          const hv::formats::StripDesc* desc);
[[nodiscard]] HV_EXPORT int imfWriteCodes(hv::formats::ImageFileRecord* record,
                                          hv::formats::WriteCodeBuffer* codes);
[[nodiscard]] HV_EXPORT int imfWriteEnd(hv::formats::ImageFileRecord* record,
                                        const hv::formats::StripDesc* desc);
// Seeks relative to the header offset (kSeekFromHeader, 0), the current
// position (kSeekFromCurrent, 1) or the end (kSeekFromEnd, 2) as open_mode.h
// names them; -1 for a null record or another origin.
[[nodiscard]] HV_EXPORT std::int64_t imfFileSeek(hv::formats::ImageFileRecord* record, std::int64_t offset,
                                                 int origin);
}
