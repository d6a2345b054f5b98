#pragma once
// Group 4 "wrap" as one continuous raster: the image is a single stream of
// width × height pixels in raster order, and a run may continue from the end
// of one line into the following lines. The mode codes and run codes are
// those of ITU-T T.6.
//
// Coding rules (writer and reader share them):
// - a0 starts before the first pixel of line 0, colour white. Changing
//   elements are positions whose colour differs from the pixel before them in
//   raster order (the pixel before line y column 0 is the last one of line
//   y - 1), so a black run that reaches the end of a line and goes on at the
//   start of the next is one run.
// - Pass and vertical modes refer to the line above a0's line, as in T.6
//   section 2.2: b1 is the first changing element of that line right of a0
//   whose colour is opposite to a0's, b2 the next. They are used only from
//   line 1 on and only for an a1 on a0's own line: pass when b2 < a1, vertical
//   when |a1 - b1| <= 3.
// - Otherwise horizontal mode codes the runs a0a1 and a1a2 measured in raster
//   order; runs above 2623 carry 2560 make-up codes, so one run can cover many
//   lines.
// - When no change is left, the rest of the raster has a0's colour: the
//   stream ends with the 26 bits 000000000001 0000000000001 0.
// The stream therefore begins with a mode code, never with an EOL.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/status.h"

namespace hv::engine {

// Receives each decoded line as a transition list ending with the width.
// Returns false to stop.
struct WrapLineSink {
  bool (*line)(void* user, std::uint32_t y, const std::uint16_t* list, std::uint32_t entries) = nullptr;
  void* user = nullptr;
};

// True when coded data (least significant bit first, as the file manager
// delivers it) begins with a mode code rather than with an EOL or fill.
bool isContinuousWrap(const std::uint8_t* data, std::size_t count);

// Decodes a whole continuous wrap raster held in memory (least significant bit
// first). Lines are delivered in order. Ok when every line was delivered,
// DataEnded when the data ended before the raster was complete, CodingError
// for an invalid code or a position outside the raster, Stopped when the sink
// asked to stop; after DataEnded or CodingError the lines delivered so far
// are valid.
Status decodeWrapRaster(const std::uint8_t* data, std::size_t count, std::uint32_t width, std::uint32_t height,
                     const WrapLineSink& sink);

// The coded stream in pieces, in order, least significant bit first. next()
// hands out the following piece and returns false when the stream has ended;
// a piece stays valid until the next call. seek() makes the next piece begin
// at the given byte of the stream and returns false when the stream is
// shorter.
struct WrapSource {
  bool (*next)(void* user, const std::uint8_t** data, std::uint32_t* count) = nullptr;
  bool (*seek)(void* user, std::uint64_t byte) = nullptr;
  void* user = nullptr;
};

// Where the reader stood between two codes: enough to go on from there
// without the data before it.
struct WrapResumePoint {
  std::uint64_t bitPosition = 0;         // of the next code, from the start of the stream
  std::uint32_t line = 0;                // a0's line; every line before it was delivered
  std::int32_t column = -1;              // a0's column; -1 before the line's first change
  bool black = false;                    // a0's colour
  std::vector<std::uint16_t> current;    // changes of a0's line so far
  std::vector<std::uint16_t> reference;  // the line above a0's line (no terminator)
};

// Offered a resume point between codes. wants() is asked first and cheaply
// for a0's line; keep() then receives the point.
struct WrapRecorder {
  bool (*wants)(void* user, std::uint32_t line) = nullptr;
  void (*keep)(void* user, const WrapResumePoint& point) = nullptr;
  void* user = nullptr;
};

// Decodes a continuous wrap raster read from `source`, from the beginning of
// the stream, or with `start` from that point on (the source seeks to it):
// lines from start->line on are delivered. `recorder` may be null.
Status decodeWrapStream(const WrapSource& source, std::uint32_t width, std::uint32_t height, const WrapLineSink& sink,
                     const WrapResumePoint* start, const WrapRecorder* recorder);

}  // namespace hv::engine
