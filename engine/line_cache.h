#pragma once
// The decoded lines a view shows, kept between repaints.
//
// A view at 1:1 or magnified that scrolls by a few pixels redraws a narrow
// strip. A strip of columns needs every shown line again, and a Group 3 or
// Group 4 line can only be decoded whole, from a checkpoint up to a thirty-
// second of the image above it. The cache keeps the full-width transition
// lists of a run of consecutive lines together with a decoder standing after
// the last of them: a strip of columns then costs no decoding, and the lines
// that come into view below cost only their own.
//
// The cache belongs to an image handle (made on first use, freed with the
// handle) and holds at most kLineCacheBytes; an image whose shown lines alone
// would exceed that is decoded afresh at every render, as without a cache.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "engine/decode_context.h"
#include "engine/image_handle.h"
#include "engine/image_memory.h"

namespace hv::engine {

inline constexpr std::size_t kLineCacheBytes = std::size_t(4) << 20;
// Renders of more lines than a view shows (a whole sheet at 1:1 for a file
// or a printer) are not views: they decode afresh and leave the cache alone.
inline constexpr std::uint32_t kLineCacheRequestLines = 4096;

// Receives each line as a full-width transition list of `count` entries,
// the terminator (the image width) included. Returns false to stop.
struct ListSink {
  bool (*line)(void* user, std::uint32_t y, const Transition* list, std::size_t count) = nullptr;
  void* user = nullptr;
};

class LineCache {
 public:
  // Hands lines [top, bottom) of the strip image to the sink, top to bottom,
  // decoding the lines the cache does not hold. The outcome is that of
  // decodeRegion for the same lines: lines after a coding error or after
  // the end of the data are not delivered.
  RegionOutcome deliver(ImageHdl h, std::uint32_t top, std::uint32_t bottom, const ListSink& sink);

  // Lines held: [firstLine(), endLine()).
  std::uint32_t firstLine() const { return first_; }
  std::uint32_t endLine() const { return first_ + static_cast<std::uint32_t>(rows_.size()); }
  std::size_t bytes() const { return bytes_; }

 private:
  using Row = std::vector<Transition>;

  void clear();
  // Makes the cache hold lines [top, bottom) (or those before the end of the
  // data or a coding error); false when they cannot all be held.
  bool fill(ImageHdl h, std::uint32_t top, std::uint32_t bottom);
  RegionOutcome decodeDirect(ImageHdl h, std::uint32_t top, std::uint32_t bottom, const ListSink& sink);
  // Decodes lines from endLine() up to `bottom`; false when decoding failed
  // (the outcome is kept in failure_) or the cache grew past its bound.
  bool extendDown(ImageHdl h, std::uint32_t bottom);
  // Decodes lines [from, firstLine()) and puts them in front.
  bool extendUp(ImageHdl h, std::uint32_t from);
  // Stores line y at the end, with blank lines for any skipped before it.
  bool append(std::uint32_t width, std::uint32_t y, const Transition* list, std::size_t count);
  // Drops lines outside [top, bottom) until the cache is within its bound.
  void trim(std::uint32_t top, std::uint32_t bottom);
  static std::size_t rowBytes(const Row& row) { return row.capacity() * sizeof(Transition) + sizeof(Row); }

  std::deque<Row> rows_;
  std::uint32_t first_ = 0;
  std::size_t bytes_ = 0;
  StripRowDecoder live_;              // stands at endLine() when active
  std::uint32_t dataEnd_ = 0xFFFFFFFFu;  // the image's data ends before this line
  int dataEndResult_ = 0;             // the decoder's result where the data ended
  bool failed_ = false;               // failure_ holds a decoding error at endLine()
  RegionOutcome failure_;
  bool tooDense_ = false;             // the shown lines alone exceed the bound
};

// The handle's cache, made on first use; null when memory runs out.
LineCache* lineCacheOf(ImageHdl h);
void freeLineCache(ImageHdl h);
// Whether the handle's file is a strip image in a coding the cache serves:
// ITU-T T.4 (one- and two-dimensional) and T.6 strips.
bool servesLineCache(ImageHdl h);

}  // namespace hv::engine
