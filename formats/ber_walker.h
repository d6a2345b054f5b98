#pragma once
// The table-driven BER walker of CALS Type 2 files: walks an ODA stream
// element by element, looks each tag up in the tag tables and performs the
// matched entry's action, filling what the reader or the information dialog
// needs.
#include <cstdint>
#include <string>
#include <vector>

#include "formats/ber.h"
#include "formats/file_manager.h"
#include "formats/tag_tables.h"

namespace hv::formats {

inline constexpr int kWalkMaxDepth = 24;

enum WalkMode : int { kWalkRead = 0, kWalkDialog = 1 };

// Record compression of the raster encoding identifier; -1 none seen.
struct OdaRaster {
  bool profileAccepted = false;  // document profile identifier seen
  bool contentAccepted = false;  // raster content class seen
  int compression = -1;          // kCompTiled, kCompG4 or kCompUncompressed; -2 unknown identifier
  std::int64_t width = 0, height = 0;
  int pelPath = kLeftToRight, lineProgression = kTopToBottom;
  std::int64_t spacingLength = 0, pelSpaces = 1;
  std::int64_t spacingRatio[2] = {1, 1};
  std::int64_t unitScaling[2] = {1, 1};
  std::int64_t tileWidth = 0, tileLength = 0;
  std::int64_t tilingOffset[2] = {0, 0};
  std::int64_t clipping[4] = {0, 0, 0, 0};
  std::int64_t secondPair[2] = {0, 0};
  // Absolute file positions and sizes of the contents of the tile data, the
  // tile list and the tile types elements (-1: not seen).
  std::int64_t tileDataAt = -1, tileDataBytes = 0;
  std::int64_t tileListAt = -1, tileListBytes = 0;
  std::int64_t tileTypesAt = -1, tileTypesBytes = 0;
  std::uint32_t countedTiles = 0;
  std::vector<InfoField> dialog;  // dialog mode: the fields the actions filled
};

struct Walk {
  ber::Source& src;
  const TagTables& tables;
  int mode = kWalkRead;
  const char* path = "";
  OdaRaster& raster;
};

// Walks the elements from pos up to limit with the context table (null: only
// skips). Returns the bytes consumed, or after reporting a refusal
// Unsupported for nesting deeper than kWalkMaxDepth ("Unable to read") and
// DataEnded for an element longer than the file or than the element holding
// it (the CALS Type 2 end-of-file message).
Result<std::int64_t> berWalk(Walk& w, int depth, const TagTable* table, std::int64_t pos, std::int64_t limit);

// The INTEGER values inside a value: the value itself when primitive, else
// the INTEGERs of its elements in order (nested at most a few levels).
std::vector<std::int64_t> integersOf(const ber::Header& h, const std::uint8_t* contents, std::size_t count);

}  // namespace hv::formats
