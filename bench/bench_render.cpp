// Rendering the E-size drawing: fitting it into a 1600 x 1200 window, and
// repainting a 1920 x 1080 region at 1:1 at the top and at the bottom of the
// sheet (the bottom starts from a decoding checkpoint). Whole-process figures
// against vipsthumbnail come from scripts/bench-render.sh.
#include <benchmark/benchmark.h>

#include "bench/bench_data.h"
#include "engine/display.h"
#include "engine/display_surface.h"
#include "engine/image_handle.h"

namespace {

ImageHdl openSheet(benchmark::State& state, unsigned options = GRX_OPEN_ONE_TO_ONE) {
  ImageHdl h = grxOpenImage(nullptr, hv::bench::eSizeG4TiffPath().c_str(), options, nullptr);
  if (h == nullptr) state.SkipWithError("the engine cannot open the benchmark TIFF");
  return h;
}

void fit(benchmark::State& state, unsigned options) {
  ImageHdl h = openSheet(state, options);
  if (h == nullptr) return;
  hv::engine::MemoryWindow window{1600, 1200};
  for (auto _ : state) {
    if (!grxFitToWindow(&window, h, nullptr) || grxUpdateScrolling(&window, h, 0) != 0 ||
        grxDisplayImage(&window, nullptr, nullptr, h) != 0) {
      state.SkipWithError("fit failed");
      break;
    }
  }
  grxCloseImage(h);
}

void BM_Render_G4_FitTo1600x1200(benchmark::State& state) { fit(state, GRX_OPEN_ONE_TO_ONE); }
BENCHMARK(BM_Render_G4_FitTo1600x1200)->Unit(benchmark::kMillisecond);

void BM_Render_G4_FitTo1600x1200Fast(benchmark::State& state) {
  fit(state, GRX_OPEN_ONE_TO_ONE | GRX_OPEN_FAST_REDUCTION);
}
BENCHMARK(BM_Render_G4_FitTo1600x1200Fast)->Unit(benchmark::kMillisecond);

// A 1920 x 1080 repaint at 1:1; the first whole fit has left the decoding
// checkpoints in place, as the viewer's first display does.
void repaint(benchmark::State& state, bool bottom) {
  ImageHdl h = openSheet(state);
  if (h == nullptr) return;
  {
    hv::engine::MemoryWindow first{1600, 1200};
    if (!grxFitToWindow(&first, h, nullptr) || grxDisplayImage(&first, nullptr, nullptr, h) != 0)
      state.SkipWithError("first display failed");
  }
  hv::engine::MemoryWindow window{1920, 1080};
  GrxDevice* device = window.acquireDevice();
  GrxBlitTarget target{device, nullptr};
  std::int32_t top = bottom ? std::int32_t(h->record->height) - 1080 : 0;
  GrxRect display{0, 0, 1920, 1080}, image{4000, top, 4000 + 1920, top + 1080};
  const std::uint8_t one[4] = {1, 1, 1, 1};
  for (auto _ : state) {
    if (grxRenderRect(&target, &display, h, &image, one, 0, GRX_LINES_PACKED, nullptr) != 0) {
      state.SkipWithError("repaint failed");
      break;
    }
  }
  grxCloseImage(h);
}

void BM_Render_G4_Repaint1920x1080Top(benchmark::State& state) { repaint(state, false); }
BENCHMARK(BM_Render_G4_Repaint1920x1080Top)->Unit(benchmark::kMillisecond);
void BM_Render_G4_Repaint1920x1080Bottom(benchmark::State& state) { repaint(state, true); }
BENCHMARK(BM_Render_G4_Repaint1920x1080Bottom)->Unit(benchmark::kMillisecond);

}  // namespace
