#pragma once
// The image file record: the file manager's state for one open raster file.
#include <cstdint>
#include <vector>

#include "formats/code_buffer.h"
#include "formats/tiff_tags.h"

namespace hv::formats {

inline constexpr int kPathBytes = 512;
inline constexpr int kCheckpointSlots = 32;  // slots 1..31 are used
inline constexpr int kWriteParamBytes = 92;

// Direction codes of pel path and line progression.
enum Direction : int { kLeftToRight = 0, kBottomToTop = 1, kRightToLeft = 2, kTopToBottom = 3 };

// A decoding checkpoint: where the decoder stood after a given line.
struct Checkpoint {
  bool valid = false;
  std::uint16_t strip = 0;
  std::uint32_t bitPosition = 0;       // within the strip
  std::vector<std::uint16_t> refLine;  // reference line (2-D codings)
  std::uint32_t refLineBytes = 0;
  std::uint32_t extra[5] = {};         // further decoder state (Group 4 wrap)
};

// Tile types: null tiles hold no data and read as all 0 bits (background)
// or all 1 bits (foreground); a bad tile is one whose data element could not
// be found and reads as an error.
enum TileType : std::uint8_t {
  kTileNullBackground = 0,
  kTileNullForeground = 1,
  kTileGroup4 = 2,
  kTileUncompressed = 5,
  kTileBad = 0xFF,
};

struct TileReader {
  std::uint16_t count = 0;  // non-zero: the image is tiled
  std::uint16_t width = 0, length = 0;
  std::uint16_t across = 0, down = 0;
  std::vector<std::uint32_t> offsets;  // widened from the file's 16- or 32-bit entries
  std::vector<std::uint32_t> byteCounts;
  int offsetSize = 0, byteCountSize = 0;  // 2 or 4, as stored
  std::uint32_t position = 0;             // byte position within the current tile
  std::uint16_t originX = 0, originY = 0; // image origin inside the tile grid
  std::uint32_t current = 0;              // current tile index
  std::vector<std::int32_t> compressions; // per-tile record compression (empty: all alike)
  // Per-tile types of CALS Type 2 and EDMICS VI (empty for TIFF): see TileType.
  std::vector<std::uint8_t> types;
};

struct TiffEntry {
  std::uint16_t tag = 0, type = 0;
  std::uint32_t count = 0;
  std::uint32_t value = 0;     // host order; SHORT values already extracted
  std::uint8_t raw[4] = {};    // the value field as stored
};

struct StripReader {
  std::uint32_t rowsPerStrip = 0;
  std::uint16_t byteOrder = 0;  // 'II' or 'MM' as a 16-bit value
  std::vector<TiffEntry> entries;
  std::uint32_t current = 0;   // current strip index
  std::uint32_t position = 0;  // byte position within the current strip
  std::uint32_t count = 0;
  std::vector<std::uint32_t> offsets;
  int offsetType = kTiffLong;  // kTiffShort or kTiffLong (tiff_tags.h), as stored
  std::vector<std::uint32_t> byteCounts;
};

struct ImageFileRecord {
  int fd = -1;
  char path[kPathBytes] = {};
  std::uint32_t headerOffset = 0;
  std::vector<std::uint8_t> prefix;   // written at the file start when writing with an offset
  int openedForWriting = 0;
  int filter = 0;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t bitsPerPixel = 1;
  int fillOrder = 0;    // 0: most significant bit first
  // 0 (TIFF WhiteIsZero): lines are shown as coded, a 0 bit or a CCITT white
  // run is white; 1 (TIFF BlackIsZero): every line is shown inverted, a 0 bit
  // or a CCITT white run is black.
  int photometric = 0;
  std::uint32_t xResolution = 0;
  std::uint32_t yResolution = 0;
  int compression = 0;  // RecordCompression
  int pelPath = kLeftToRight;
  int lineProgression = kTopToBottom;
  TileReader tiles;
  StripReader strips;
  Checkpoint checkpoints[kCheckpointSlots];
  std::uint8_t writeParams[kWriteParamBytes] = {};
  void* writerState = nullptr;
  void (*freeWriterState)(void*) = nullptr;
  int sourceCompression = 0;  // TIFF: the Compression tag's record code, kept for tiled files
  std::int64_t fileSize = 0;
  std::vector<std::uint8_t> header;  // EDMICS VI, Audre: the header as read, for information
  std::uint32_t rowBytes = 0;        // Audre: bytes per stored line (quadwidth)
};

// Checkpoint spacing for an image of `height` lines: about 32 per image.
inline std::uint32_t checkpointSpacing(std::uint32_t height) { return (height + 32) / 32; }

}  // namespace hv::formats
