// Compressing the rows of a PNG of the E-size drawing fitted into 1600 x
// 1200 (as `hvtool render --fit 1600x1200` writes them): hvtool's own
// deflate encoder beside libdeflate and zlib at the levels around the same
// size, on the same bytes. Each reports the compressed size as a counter;
// the stored rows are 241,200 bytes, a fifth of which is 48,240.
#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <zlib.h>

#include <vector>

#include "bench/bench_data.h"
#include "engine/display.h"
#include "engine/display_surface.h"
#include "engine/image_handle.h"
#include "tools/hvtool/deflate_encode.h"
#include "tools/hvtool/png_rows.h"

namespace {

// The PNG image data hvtool compresses for this fit.
const std::vector<std::uint8_t>& fittedRows() {
  static const std::vector<std::uint8_t> rows = [] {
    std::vector<std::uint8_t> out;
    const std::string& path = hv::bench::eSizeG4TiffPath();
    ImageHdl h = grxOpenImage(nullptr, path.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
    if (h == nullptr) return out;
    hv::engine::MemoryWindow window{1600, 1200};
    if (grxFitToWindow(&window, h, nullptr) && grxUpdateScrolling(&window, h, 0) == 0 &&
        grxDisplayImage(&window, nullptr, nullptr, h) == 0) {
      out = hv::tool::pngRows({1600, 1200, window.rowBytes(), window.pixels().data()});
    }
    grxCloseImage(h);
    return out;
  }();
  return rows;
}

void report(benchmark::State& state, std::size_t size) {
  state.counters["bytes"] = double(size);
  state.counters["times smaller"] = size == 0 ? 0.0 : double(fittedRows().size()) / double(size);
}

void BM_PngRows_Ours(benchmark::State& state) {
  const std::vector<std::uint8_t>& rows = fittedRows();
  if (rows.empty()) return state.SkipWithError("the fit failed");
  std::size_t size = 0;
  for (auto _ : state) {
    const std::vector<std::uint8_t> z = hv::tool::zlibCompressRows(rows.data(), rows.size(), 201);
    size = z.size();
    benchmark::DoNotOptimize(z.data());
  }
  report(state, size);
}
BENCHMARK(BM_PngRows_Ours)->Unit(benchmark::kMillisecond);

void BM_PngRows_Libdeflate(benchmark::State& state) {
  const std::vector<std::uint8_t>& rows = fittedRows();
  if (rows.empty()) return state.SkipWithError("the fit failed");
  libdeflate_compressor* c = libdeflate_alloc_compressor(int(state.range(0)));
  std::vector<std::uint8_t> z(libdeflate_zlib_compress_bound(c, rows.size()));
  std::size_t size = 0;
  for (auto _ : state) {
    size = libdeflate_zlib_compress(c, rows.data(), rows.size(), z.data(), z.size());
    benchmark::DoNotOptimize(z.data());
  }
  libdeflate_free_compressor(c);
  report(state, size);
}
BENCHMARK(BM_PngRows_Libdeflate)->Arg(6)->Arg(7)->Arg(8)->Unit(benchmark::kMillisecond);

void BM_PngRows_Zlib(benchmark::State& state) {
  const std::vector<std::uint8_t>& rows = fittedRows();
  if (rows.empty()) return state.SkipWithError("the fit failed");
  std::vector<std::uint8_t> z(compressBound(uLong(rows.size())));
  std::size_t size = 0;
  for (auto _ : state) {
    uLongf n = uLongf(z.size());
    compress2(z.data(), &n, rows.data(), uLong(rows.size()), int(state.range(0)));
    size = n;
    benchmark::DoNotOptimize(z.data());
  }
  report(state, size);
}
BENCHMARK(BM_PngRows_Zlib)->Arg(6)->Arg(9)->Unit(benchmark::kMillisecond);

}  // namespace
