// The engine's own figures on the E-size drawing, beside libtiff's
// (bench_libtiff.cpp): loading image memory, decoding into packed rows, and
// decoding the last 1000 lines through the decoding checkpoints.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench/bench_data.h"
#include "engine/decode_context.h"
#include "engine/image_handle.h"
#include "engine/image_memory.h"
#include "engine/packed.h"

namespace {

using hv::bench::eSizeBitmap;

void reportSheets(benchmark::State& state, double lines, double pixelsPerLine) {
  const double n = double(state.iterations());
  state.SetItemsProcessed(std::int64_t(n * lines * pixelsPerLine));
  state.SetBytesProcessed(std::int64_t(n * lines * ((pixelsPerLine + 7) / 8)));
  state.counters["lines/s"] = benchmark::Counter(n * lines, benchmark::Counter::kIsRate);
}

ImageHdl openSheet(benchmark::State& state, const std::string& path) {
  ImageHdl h = grxOpenImage(nullptr, path.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
  if (h == nullptr) state.SkipWithError("the engine cannot open the benchmark TIFF");
  return h;
}

// Whole load of image memory: decode to transition lists and store each line.
void loadImageMemory(benchmark::State& state, const std::string& path) {
  const hv::drawgen::Bitmap& bm = eSizeBitmap();
  ImageHdl h = openSheet(state, path);
  if (h == nullptr) return;
  for (auto _ : state) {
    grxFreeImageMemory(h);
    if (!grxLoadImageMemory(h, nullptr)) {
      state.SkipWithError("load failed");
      break;
    }
  }
  std::size_t bytes = hv::engine::imageMemoryBytes(h->memory);
  state.counters["memory_bytes"] = double(bytes);
  state.counters["memory_vs_packed_%"] = 100.0 * double(bytes) / double(bm.bits.size());
  grxCloseImage(h);
  reportSheets(state, bm.height, bm.width);
}

void BM_Engine_G4_LoadImageMemory(benchmark::State& state) { loadImageMemory(state, hv::bench::eSizeG4TiffPath()); }
BENCHMARK(BM_Engine_G4_LoadImageMemory)->Unit(benchmark::kMillisecond);

void BM_Engine_G4_LoadImageMemoryStrips256(benchmark::State& state) {
  loadImageMemory(state, hv::bench::eSizeG4StripsTiffPath());
}
BENCHMARK(BM_Engine_G4_LoadImageMemoryStrips256)->Unit(benchmark::kMillisecond);

void BM_Engine_G3_1D_LoadImageMemory(benchmark::State& state) {
  loadImageMemory(state, hv::bench::eSizeG3TiffPath());
}
BENCHMARK(BM_Engine_G3_1D_LoadImageMemory)->Unit(benchmark::kMillisecond);

struct BitmapOut {
  std::uint8_t* base;
  std::size_t stride;
};

// Decode into packed rows of one bitmap, as libtiff's strip decode does.
void BM_Engine_G4_DecodePackedRows(benchmark::State& state) {
  const hv::drawgen::Bitmap& bm = eSizeBitmap();
  ImageHdl h = openSheet(state, hv::bench::eSizeG4TiffPath());
  if (h == nullptr) return;
  std::vector<std::uint8_t> out(bm.bits.size());
  BitmapOut target{out.data(), bm.stride};
  hv::engine::LineSink sink{[](void* u, std::uint32_t y, const std::uint16_t*, const std::uint8_t* row) {
                              auto* t = static_cast<BitmapOut*>(u);
                              std::memcpy(t->base + y * t->stride, row, t->stride);
                              return true;
                            },
                            &target};
  hv::engine::RegionRequest req;
  req.endLine = bm.height;
  req.endCol = bm.width;
  req.bitmap = true;
  for (auto _ : state) {
    hv::engine::RegionOutcome r = hv::engine::decodeRegion(h, req, sink);
    if (r.status != hv::Status::Ok) state.SkipWithError("decode failed");
    benchmark::ClobberMemory();
  }
  grxCloseImage(h);
  if (out != bm.bits) {
    state.SkipWithError("the engine's decode differs from the generated drawing");
    return;
  }
  reportSheets(state, bm.height, bm.width);
}
BENCHMARK(BM_Engine_G4_DecodePackedRows)->Unit(benchmark::kMillisecond);

// Transition lists of a region, discarded: the decode alone.
void decodeLines(benchmark::State& state, std::uint32_t first, std::uint32_t end) {
  const hv::drawgen::Bitmap& bm = eSizeBitmap();
  ImageHdl h = openSheet(state, hv::bench::eSizeG4TiffPath());
  if (h == nullptr) return;
  hv::engine::LineSink sink{[](void*, std::uint32_t, const std::uint16_t*, const std::uint8_t*) { return true; },
                            nullptr};
  // A first whole decode leaves the checkpoints, as the first display does.
  hv::engine::RegionRequest all;
  all.endLine = bm.height;
  all.endCol = bm.width;
  (void)hv::engine::decodeRegion(h, all, sink);
  hv::engine::RegionRequest req = all;
  req.firstLine = first;
  req.endLine = end;
  for (auto _ : state) {
    hv::engine::RegionOutcome r = hv::engine::decodeRegion(h, req, sink);
    if (r.status != hv::Status::Ok) state.SkipWithError("decode failed");
  }
  int valid = 0;
  for (const auto& cp : h->record->checkpoints) valid += cp.valid;
  state.counters["checkpoints"] = valid;
  grxCloseImage(h);
  reportSheets(state, end - first, bm.width);
}

void BM_Engine_G4_DecodeAllLines(benchmark::State& state) { decodeLines(state, 0, eSizeBitmap().height); }
BENCHMARK(BM_Engine_G4_DecodeAllLines)->Unit(benchmark::kMillisecond);

void BM_Engine_G4_DecodeLast1000Lines(benchmark::State& state) {
  std::uint32_t h = eSizeBitmap().height;
  decodeLines(state, h - 1000, h);
}
BENCHMARK(BM_Engine_G4_DecodeLast1000Lines)->Unit(benchmark::kMillisecond);

}  // namespace
