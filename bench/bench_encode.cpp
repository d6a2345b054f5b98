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

// A memory sink, as libtiff's benchmark writes into a memory file.
int appendFlush(void* ctx, hv::formats::WriteCodeBuffer* b) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(ctx);
  const std::uint32_t whole = b->bitCount / 8, rem = b->bitCount % 8;
  out->insert(out->end(), b->data, b->data + whole);
  if (rem != 0) b->data[0] = b->data[whole];
  b->bitCount = rem;
  b->byteCount = (rem + 7) / 8;
  return 1;
}

void encode(benchmark::State& state, int compression) {
  const ImageMemory* m = eSizeMemory();
  if (m == nullptr) {
    state.SkipWithError("no image memory");
    return;
  }
  std::vector<std::uint8_t> out;
  out.reserve(4u << 20);
  std::vector<std::uint8_t> buffer(compression == hv::formats::kCompUncompressed ? kRawBufferBytes
                                                                                 : kEncodeBufferBytes);
  for (auto _ : state) {
    out.clear();
    EncoderState s;
    s.compression = compression;
    s.flushContext = &out;
    s.memory = m;
    s.out = hv::formats::WriteCodeBuffer{buffer.data(), 0, 0, 0};
    s.capacity = static_cast<std::uint32_t>(buffer.size());
    s.flush = appendFlush;
    if (encodeImage(&s) != kEncodeDone) {
      state.SkipWithError("encoding failed");
      return;
    }
    appendFlush(&out, &s.out);
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
