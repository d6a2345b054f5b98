#pragma once
// Scaling decoded lines into packed display bands.
//
// Lines of a source rectangle arrive top to bottom; each is given as black
// runs in source columns. A band holds `bandRows` display rows of
// `rowBytes` bytes (the scaled width rounded up to 16 pixels), at most
// kMaxBandBytes; when a line belongs below the band, the band is handed to
// the flush callback and cleared.
#include <cstdint>
#include <vector>

#include "engine/image_memory.h"

namespace hv::engine {

constexpr std::uint32_t kMaxBandBytes = 98304;
// The widest scaled rectangle one band takes: eight rows within the bound.
constexpr std::uint32_t kMaxBandPixels = kMaxBandBytes / 8 * 8;

struct ScalerGeometry {
  std::uint32_t sourceWidth = 0, sourceHeight = 0;
  std::uint8_t xd = 1, xn = 1, yd = 1, yn = 1;
  bool thinLines = false;  // fast reduction: only the first line of each vertical group
};

// Receives a full or final band: rows [0, rows) of the band are display rows
// firstRow.. of the scaled rectangle. Returns false to stop.
struct BandSink {
  bool (*flush)(void* user, const std::uint8_t* band, std::uint32_t rowBytes, std::uint32_t bandRows,
                std::uint32_t firstRow, std::uint32_t rows) = nullptr;
  void* user = nullptr;
};

class BandScaler {
 public:
  // False when the geometry is unusable (zero terms, too wide) or memory runs out.
  bool init(const ScalerGeometry& g, const BandSink& sink);

  std::uint32_t scaledWidth() const { return outW_; }
  std::uint32_t scaledHeight() const { return outH_; }
  std::uint32_t rowBytes() const { return rowBytes_; }
  std::uint32_t bandRows() const { return bandRows_; }

  // True when line y adds nothing (fast reduction skips it).
  bool skips(std::uint32_t y) const;
  // Source line y, as a transition list (entries ascending, the first entry
  // >= listWidth ends it) whose column c is source column c + offset; runs
  // outside the source rectangle are cut. `startBlack` inverts the line.
  bool addList(std::uint32_t y, const Transition* list, std::uint32_t listWidth, std::int64_t offset, bool startBlack);
  // Source line y as a packed row of sourceWidth pixels (1 = black, or
  // inverted when `invert`).
  bool addRow(std::uint32_t y, const std::uint8_t* row, bool invert);
  // Source line y as black runs [a, b) in source columns, two entries per run.
  bool addRuns(std::uint32_t y, const std::uint32_t* runs, std::size_t runCount);
  // Lines can also be built apart from the scaler, in rows of rowBytes()
  // bytes already at the scaled width: markRun blackens source columns
  // [a, b) of such a row, addScaledRow hands it over as source line y.
  void markRun(std::uint8_t* row, std::uint32_t a, std::uint32_t b) const;
  // markRun for every black run of a list, placed as addList places it.
  void markList(std::uint8_t* row, const Transition* list, std::uint32_t listWidth, std::int64_t offset,
                bool startBlack) const;
  bool addScaledRow(std::uint32_t y, const std::uint8_t* row);
  // Hands over the rows written and not yet flushed.
  bool finish();
  bool stopped() const { return stopped_; }

 private:
  void setRun(std::uint32_t a, std::uint32_t b) { markRun(line_.data(), a, b); }
  bool commitLine(std::uint32_t y) { return commitLine(y, line_.data()); }
  bool commitLine(std::uint32_t y, const std::uint8_t* line);
  // The band row that source line y alone feeds (reductions and 1:1), after
  // flushing the band when y lies below it; null when the scaler stopped.
  std::uint8_t* rowOf(std::uint32_t y);
  bool flushBand();

  ScalerGeometry g_;
  BandSink sink_;
  std::uint32_t outW_ = 0, outH_ = 0, rowBytes_ = 0, bandRows_ = 0;
  std::uint32_t bandFirst_ = 0;  // display row of band row 0
  std::uint32_t rowsUsed_ = 0;   // band rows written so far
  std::vector<std::uint8_t> band_, line_;
  // Display columns of source columns: colFirst_[a] is the first display
  // pixel showing column a, colEnd_[b] one past the last showing column
  // b - 1; a run maps with two loads instead of two divisions.
  std::vector<std::uint32_t> colFirst_, colEnd_;
  std::vector<Transition> scratch_;
  bool stopped_ = false;
};

}  // namespace hv::engine
