// Rendering the E-size drawing: fitting it into a 1600 x 1200 window, and
// repainting a 1920 x 1080 region at 1:1 at the top and at the bottom of the
// sheet (the bottom starts from a decoding checkpoint; once more on a freshly
// opened file, where no checkpoint exists yet; and the bottom's own pixels at
// the top of the sheet scanned upside down). Whole-process figures
// against vipsthumbnail come from scripts/bench-render.sh.
#include <benchmark/benchmark.h>

#include "bench/bench_data.h"
#include "engine/display.h"
#include "engine/display_surface.h"
#include "engine/image_handle.h"

namespace {

ImageHdl openSheet(benchmark::State& state, unsigned options = GRX_OPEN_ONE_TO_ONE,
                   const std::string& path = hv::bench::eSizeG4TiffPath()) {
  ImageHdl h = grxOpenImage(nullptr, path.c_str(), options, nullptr);
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
void repaint(benchmark::State& state, bool bottom, bool upsideDown = false,
             const std::string& path = hv::bench::eSizeG4TiffPath()) {
  ImageHdl h = openSheet(state, GRX_OPEN_ONE_TO_ONE, upsideDown ? hv::bench::eSizeUpsideDownG4TiffPath() : path);
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
  // On the upside-down sheet the region turned with it: the same pixels.
  std::int32_t left = upsideDown ? std::int32_t(h->record->width) - 4000 - 1920 : 4000;
  GrxRect display{0, 0, 1920, 1080}, image{left, top, left + 1920, top + 1080};
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
// The bottom region's own lines at the top of the sheet scanned upside down:
// the same content decoded without any seek, so that Bottom / this is what
// reaching the bottom through a checkpoint costs, the content set aside.
void BM_Render_G4_Repaint1920x1080TopOfUpsideDownSheet(benchmark::State& state) {
  repaint(state, false, true);
}
BENCHMARK(BM_Render_G4_Repaint1920x1080TopOfUpsideDownSheet)->Unit(benchmark::kMillisecond);

// The same repaints on the sheet saved as one continuous Group 4 "wrap"
// raster, which the reader takes up again from the points it kept.
void BM_Render_G4Wrap_Repaint1920x1080Top(benchmark::State& state) {
  repaint(state, false, false, hv::bench::eSizeG4WrapTiffPath());
}
BENCHMARK(BM_Render_G4Wrap_Repaint1920x1080Top)->Unit(benchmark::kMillisecond);
void BM_Render_G4Wrap_Repaint1920x1080Bottom(benchmark::State& state) {
  repaint(state, true, false, hv::bench::eSizeG4WrapTiffPath());
}
BENCHMARK(BM_Render_G4Wrap_Repaint1920x1080Bottom)->Unit(benchmark::kMillisecond);

}  // namespace

// The same bottom repaint on a file just opened: no checkpoint exists yet, so
// every line from the top of the sheet is decoded. The open is not timed.
void BM_Render_G4_Repaint1920x1080BottomNoCheckpoints(benchmark::State& state) {
  hv::engine::MemoryWindow window{1920, 1080};
  GrxDevice* device = window.acquireDevice();
  GrxBlitTarget target{device, nullptr};
  const std::uint8_t one[4] = {1, 1, 1, 1};
  for (auto _ : state) {
    state.PauseTiming();
    ImageHdl h = openSheet(state);
    state.ResumeTiming();
    if (h == nullptr) break;
    const std::int32_t top = std::int32_t(h->record->height) - 1080;
    GrxRect display{0, 0, 1920, 1080}, image{4000, top, 4000 + 1920, top + 1080};
    const int status = grxRenderRect(&target, &display, h, &image, one, 0, GRX_LINES_PACKED, nullptr);
    state.PauseTiming();
    grxCloseImage(h);
    state.ResumeTiming();
    if (status != 0) {
      state.SkipWithError("repaint failed");
      break;
    }
  }
}
BENCHMARK(BM_Render_G4_Repaint1920x1080BottomNoCheckpoints)->Unit(benchmark::kMillisecond);
