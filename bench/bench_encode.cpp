// Encoding the E-size sheet from image memory, beside libtiff's encoding of
// the same sheet from a bitmap (bench_libtiff.cpp). Both write into memory.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/bench_data.h"
#include "engine/ccitt_encode.h"
#include "engine/image_memory.h"
#include "engine/packed.h"
#include "formats/code_buffer.h"

namespace {

using namespace hv::engine;

// The sheet as image memory, built once.
const ImageMemory* eSizeMemory() {
  static ImageMemory* mem = [] {
    const hv::drawgen::Bitmap& bm = hv::bench::eSizeBitmap();
    ImageMemory* m = createImageMemory(1, bm.width, bm.height);
    std::vector<Transition> list(bm.width + 2);
    for (std::uint32_t y = 0; m != nullptr && y < bm.height; ++y) {
      std::size_t n = bitsToList(bm.bits.data() + static_cast<std::size_t>(y) * bm.stride, bm.width, list.data(),
                                 list.size());
      putLineCopy(m, y, list.data(), n);
    }
    return m;
  }();
  return mem;
}

void encode(benchmark::State& state, int compression) {
  const ImageMemory* m = eSizeMemory();
  if (m == nullptr) {
    state.SkipWithError("no image memory");
    return;
  }
  // Coded into memory, as libtiff's benchmark writes into a memory file.
  std::vector<std::uint8_t> out;
  out.reserve(4u << 20);
  for (auto _ : state) {
    if (encodeToBytes(m, compression, out) != hv::Status::Ok) {
      state.SkipWithError("encoding failed");
      return;
    }
    benchmark::DoNotOptimize(out.data());
  }
  const double n = static_cast<double>(state.iterations());
  const hv::drawgen::Bitmap& bm = hv::bench::eSizeBitmap();
  state.SetItemsProcessed(static_cast<std::int64_t>(n * bm.width * bm.height));
  state.SetBytesProcessed(static_cast<std::int64_t>(n * static_cast<double>(bm.bits.size())));
  state.counters["lines/s"] = benchmark::Counter(n * bm.height, benchmark::Counter::kIsRate);
  state.counters["coded_bytes"] = static_cast<double>(out.size());
}

void BM_Engine_G4_Encode(benchmark::State& state) { encode(state, hv::formats::kCompG4); }
BENCHMARK(BM_Engine_G4_Encode)->Unit(benchmark::kMillisecond);

void BM_Engine_G3_1D_Encode(benchmark::State& state) { encode(state, hv::formats::kCompG3OneD); }
BENCHMARK(BM_Engine_G3_1D_Encode)->Unit(benchmark::kMillisecond);

void BM_Engine_G4Wrap_Encode(benchmark::State& state) { encode(state, hv::formats::kCompG4Wrap); }
BENCHMARK(BM_Engine_G4Wrap_Encode)->Unit(benchmark::kMillisecond);

}  // namespace
