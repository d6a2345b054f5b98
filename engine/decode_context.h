#pragma once
// A decoding context: the decoder bound to an image's file through the image
// file manager, positioned at the nearest checkpoint, delivering the lines of
// a region of the image.
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/image_handle.h"
#include "platform/status.h"

namespace hv::engine {

struct RegionRequest {
  std::uint32_t firstLine = 0, endLine = 0;  // end exclusive; clipped to the image
  std::uint32_t firstCol = 0, endCol = 0;
  bool bitmap = false;         // packed rows instead of transition lists
  bool thinLines = false;      // fast reduction: keep the first line of each group
  std::uint8_t reduceFrom = 1, reduceTo = 1;
  // Bound of the decoder's output buffer in bytes (0: the default sizes). A
  // transition-list buffer still holds at least one whole line.
  std::uint32_t maxOutputBytes = 0;
};

// Receives each delivered line: its image line number and either a
// transition list (entries terminated by the region width) or a packed row
// (1 = black in the coded sense). Returns false to stop.
struct LineSink {
  bool (*line)(void* user, std::uint32_t y, const std::uint16_t* list, const std::uint8_t* row) = nullptr;
  void* user = nullptr;
};

// Outcome of a region decode. status is Ok when every wanted line was
// decoded, the data ended early or the sink stopped; otherwise NoContext (the
// decoder could not start or was left without state), CodingError (bad data
// part-way), ReadFailed, Unsupported, or Failed (no file, a changed coding
// within a tile, a decoder that neither delivers nor ends).
struct RegionOutcome {
  Status status = Status::Failed;
  int decoderResult = 0;  // the decoder's final result (engine/ccitt_decode.h), kept for diagnostics
  std::uint32_t linesDelivered = 0;
};

// Whether the image is read from its file in strips (not tiles, not image
// memory), the way decodeRegion and StripRowDecoder read it.
bool decodesStrips(ImageHdl h);

// Decodes a region of a strip image (not tiled) from its file, starting at the
// last checkpoint at or before the region's first line.
RegionOutcome decodeRegion(ImageHdl h, const RegionRequest& request, const LineSink& sink);

// Decodes the lines of a strip image (not tiled) at full width as
// transition lists, a run of lines at a time: the decoder keeps its place
// between calls, so the lines that follow cost only their own decoding.
class StripRowDecoder {
 public:
  StripRowDecoder();
  ~StripRowDecoder();
  StripRowDecoder(const StripRowDecoder&) = delete;
  StripRowDecoder& operator=(const StripRowDecoder&) = delete;

  // Starts at the last checkpoint at or before `line`, which is the first
  // line delivered. False when the image is not a strip image, the line lies
  // below it or the decoder cannot start.
  bool open(ImageHdl h, std::uint32_t line);
  // The line the next advance delivers first.
  std::uint32_t nextLine() const { return next_; }
  // Whether advance can deliver more lines.
  bool active() const { return state_ != nullptr; }
  void close();
  // Delivers the lines up to endLine (exclusive). Lines a strip that ended
  // early left out are not delivered. After an error or the end of the data
  // the decoder is no longer active; the status tells which of the two it was.
  RegionOutcome advance(std::uint32_t endLine, const LineSink& sink);

 private:
  struct State;
  ImageHdl h_ = nullptr;
  std::unique_ptr<State> state_;
  std::uint32_t next_ = 0;
  bool finished_ = false;
};

// Decodes one tile of a tiled image as an image of its own, clipped to the
// image: lines are delivered with their image line numbers and columns
// relative to the tile's left edge.
RegionOutcome decodeTile(ImageHdl h, std::uint32_t tileIndex, const LineSink& sink);

// Decodes the tiles of one tile row side by side, a band of lines at a time:
// each tile keeps its own decoder and its place in its data between calls,
// so a tile row never has to be held whole. Lines are delivered as
// decodeTile delivers them.
class TileRowDecoder {
 public:
  TileRowDecoder();
  ~TileRowDecoder();
  TileRowDecoder(const TileRowDecoder&) = delete;
  TileRowDecoder& operator=(const TileRowDecoder&) = delete;

  // Tiles firstTile .. firstTile + count - 1, all of one tile row. False when
  // one of them cannot be set up (an index outside the image, no memory).
  bool open(ImageHdl h, std::uint32_t firstTile, std::uint32_t count);
  // Continues tile i (0 .. count - 1) up to image line endLine (exclusive).
  // ok: the lines were decoded, or the tile's data ended before them (the
  // rest of that tile is then blank); otherwise the tile is in error.
  RegionOutcome advance(std::uint32_t i, std::uint32_t endLine, const LineSink& sink);

 private:
  struct Tile;
  ImageHdl h_ = nullptr;
  std::vector<std::unique_ptr<Tile>> tiles_;
};

}  // namespace hv::engine
