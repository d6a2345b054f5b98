// The filter table: the procedures of each image format, indexed by filter
// number. One constant: the strip reader, the tile reader and the TIFF writer
// serve several formats, and which slot reuses what is visible here.
#include "formats/filter_table.h"

#include "formats/audre_read.h"
#include "formats/cals1_read.h"
#include "formats/cals1_write.h"
#include "formats/cals2_read.h"
#include "formats/dsed_read.h"
#include "formats/edmics_read.h"
#include "formats/raster_write.h"
#include "formats/strip_reader.h"
#include "formats/tag_tables.h"
#include "formats/tiff_info.h"
#include "formats/tiff_read.h"
#include "formats/tiff_write.h"
#include "formats/tiled_write.h"

namespace hv::formats {
namespace {

constexpr FilterProcs kFilterTable[kFilterSlots] = {
    // kFilterNone: never bound.
    {},
    // kFilterTiff: strips or tiles, every TIFF coding this system reads.
    {.open = tiffOpen,
     .close = stripClose,
     .getCodeBuf = stripGetCodeBuf,
     .seek = stripSeek,
     .imageInfo = tiffImageInfo,
     .lineInfo = stripLineInfo,
     .writeSpecs = tiffWriteSpecs,
     .writeBegin = tiffWriteBegin,
     .writeCodes = tiffWriteCodes,
     .writeEnd = tiffWriteEnd},
    // kFilterCals2: the tile reader over the BER-coded ODA document; written
    // by the tiled writer. Binding it loads the tag tables.
    {.open = cals2Open,
     .close = stripClose,
     .getCodeBuf = stripGetCodeBuf,
     .seek = stripSeek,
     .imageInfo = cals2ImageInfo,
     .writeSpecs = cals2WriteSpecs,
     .writeBegin = tiledWriteBegin,
     .writeCodes = tiledWriteCodes,
     .writeEnd = tiledWriteEnd},
    // kFilterCals1: one Group 4 strip read by the strip reader.
    {.open = cals1Open,
     .close = stripClose,
     .getCodeBuf = stripGetCodeBuf,
     .seek = stripSeek,
     .imageInfo = cals1ImageInfo,
     .lineInfo = stripLineInfo,
     .writeSpecs = cals1WriteSpecs,
     .writeBegin = cals1WriteBegin,
     .writeCodes = cals1WriteCodes,
     .writeEnd = cals1WriteEnd},
    // kFilterEdmics5: read only, one Group 4 strip.
    {.open = edmics5Open,
     .close = stripClose,
     .getCodeBuf = stripGetCodeBuf,
     .seek = stripSeek,
     .imageInfo = edmics5ImageInfo,
     .lineInfo = stripLineInfo},
    // kFilterEdmics6: the tile reader; written by the tiled writer.
    {.open = edmics6Open,
     .close = stripClose,
     .getCodeBuf = stripGetCodeBuf,
     .seek = stripSeek,
     .imageInfo = edmics6ImageInfo,
     .writeSpecs = edm6WriteSpecs,
     .writeBegin = tiledWriteBegin,
     .writeCodes = tiledWriteCodes,
     .writeEnd = tiledWriteEnd},
    // kFilterAudre: uncompressed rows of its own reader; the raster writer.
    {.open = audreOpen,
     .close = stripClose,
     .getCodeBuf = audreGetCodeBuf,
     .seek = audreSeek,
     .imageInfo = audreImageInfo,
     .writeSpecs = audreWriteSpecs,
     .writeBegin = rasterWriteBegin,
     .writeCodes = rasterWriteCodes,
     .writeEnd = rasterWriteEnd},
    // kFilterImportExport: one Group 4 wrap raster read by the strip reader.
    // No writer slots: saving writes it through the raster writer directly.
    {.open = dsedOpen,
     .close = stripClose,
     .getCodeBuf = stripGetCodeBuf,
     .seek = stripSeek,
     .imageInfo = dsedImageInfo,
     .lineInfo = stripLineInfo},
    // kFilterPdf: no reader in this system.
    {},
};

}  // namespace

const FilterProcs* filterProcs(int filter) {
  if (filter <= kFilterNone || filter >= kFilterSlots || kFilterTable[filter].open == nullptr) return nullptr;
  return &kFilterTable[filter];
}

Status bindFilter(int filter) {
  if (filterProcs(filter) == nullptr) return Status::Unsupported;
  // CALS Type 2 is bound only while its tag tables can be loaded.
  return filter == kFilterCals2 ? loadTagTables() : Status::Ok;
}

}  // namespace hv::formats
