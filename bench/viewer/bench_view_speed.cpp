// What a user waits for in the view of the E-size 400 dpi Group 4 sheet
// (17600 x 13600, bench/bench_data.h) in a 1920 x 1080 view on the offscreen
// platform: one line and one page of scrolling at 1:1, one zoom step, and
// the overview following the view; each at the sheet's top-left corner, its
// centre and its bottom-right corner.
//
// Each timed step is the command itself (a scroll-bar action as the arrow
// and page keys trigger it, or the zoom command) followed by a synchronous
// repaint: QWidget::repaint of one pixel makes Qt's repaint manager paint
// every region the step left dirty and flush the window's backing store at
// once, which is what would otherwise happen at the next pass of the event
// loop.
#include <QApplication>
#include <QScrollBar>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>

#include "bench/bench_data.h"
#include "bench/viewer/empty_viewer.h"
#include "viewer/main_frame.h"
#include "viewer/overview_window.h"
#include "viewer/viewer_app.h"
#include "viewer/viewer_doc.h"
#include "viewer/viewer_view.h"

namespace {

using hv::viewer::CViewerDoc;
using hv::viewer::CViewerView;

constexpr int kViewWidth = 1920, kViewHeight = 1080;

const char* positionName(int position) {
  static const char* names[] = {"top-left", "centre", "bottom-right"};
  return names[position];
}

// The sheet open in a shown view whose drawing area is 1920 x 1080.
struct Sheet {
  CViewerDoc* doc = nullptr;
  CViewerView* view = nullptr;

  Sheet() {
    doc = new CViewerDoc();
    view = new CViewerView(doc, hv::bench::benchViewer().mainFrame()->viewState());
    if (!doc->OnOpenDocument(QString::fromStdString(hv::bench::eSizeG4TiffPath())) || doc->image() == nullptr)
      std::abort();
    doc->UpdateAllViews(hv::viewer::HintNewImage);
    view->show();
    view->actualSize();
    QCoreApplication::processEvents();
    // Both scroll bars show at 1:1; the widget is made that much larger.
    const QSize bars = view->size() - view->viewport()->size();
    view->resize(QSize(kViewWidth, kViewHeight) + bars);
    QCoreApplication::processEvents();
    if (view->viewport()->size() != QSize(kViewWidth, kViewHeight)) std::abort();
  }
  ~Sheet() {
    delete view;
    delete doc;
  }
  QScrollBar* h() const { return view->horizontalScrollBar(); }
  QScrollBar* v() const { return view->verticalScrollBar(); }
  // Scrolls to the sheet's top-left corner (0), centre (1) or bottom-right
  // corner (2) and paints.
  void moveTo(int position) {
    for (QScrollBar* b : {h(), v()}) b->setValue(b->maximum() * position / 2);
    flush();
  }
  void flush() { view->viewport()->repaint(QRect(0, 0, 1, 1)); }
};

void scrollSteps(benchmark::State& state, QAbstractSlider::SliderAction forward,
                 QAbstractSlider::SliderAction back, bool vertical) {
  Sheet sheet;
  sheet.moveTo(int(state.range(0)));
  QScrollBar* bar = vertical ? sheet.v() : sheet.h();
  // At the bottom-right corner the first step goes back.
  bool ahead = state.range(0) == 2;
  for (auto _ : state) {
    bar->triggerAction(ahead ? back : forward);
    sheet.flush();
    ahead = !ahead;
  }
  if (sheet.view->lastPaintStatus() != 0) state.SkipWithError("the view did not paint");
  state.SetLabel(positionName(int(state.range(0))));
}

void BM_ScrollLineDown_1to1(benchmark::State& state) {
  scrollSteps(state, QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderSingleStepSub, true);
}
void BM_ScrollLineRight_1to1(benchmark::State& state) {
  scrollSteps(state, QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderSingleStepSub, false);
}
void BM_ScrollPageDown_1to1(benchmark::State& state) {
  scrollSteps(state, QAbstractSlider::SliderPageStepAdd, QAbstractSlider::SliderPageStepSub, true);
}

// One zoom step from 1:1 out to 1:2 or from 1:2 in to 1:1, about the centre
// of the window.
void BM_ZoomStep(benchmark::State& state) {
  Sheet sheet;
  sheet.moveTo(int(state.range(0)));
  bool out = true;
  for (auto _ : state) {
    if (out)
      sheet.view->zoomOut();
    else
      sheet.view->zoomIn();
    sheet.flush();
    out = !out;
  }
  if (sheet.view->lastPaintStatus() != 0) state.SkipWithError("the view did not paint");
  state.SetLabel(positionName(int(state.range(0))));
}

// The first zoom step in from the fitted sheet: most of the sheet is decoded.
void BM_ZoomStepFromFit(benchmark::State& state) {
  Sheet sheet;
  for (auto _ : state) {
    state.PauseTiming();
    sheet.view->fitInWindow();
    sheet.flush();
    state.ResumeTiming();
    sheet.view->zoomIn();
    sheet.flush();
  }
}

// The overview's update after the view scrolled by a page: the mark moves
// over the cached picture.
void BM_OverviewUpdate(benchmark::State& state) {
  Sheet sheet;
  auto* overview = new hv::viewer::CPanOverViewWnd(*hv::bench::benchViewer().mainFrame());
  overview->setView(sheet.view);
  overview->toggle();
  sheet.moveTo(int(state.range(0)));
  overview->sync();
  const int renders = overview->renderCount();
  bool ahead = state.range(0) == 2;
  for (auto _ : state) {
    state.PauseTiming();
    sheet.v()->triggerAction(ahead ? QAbstractSlider::SliderPageStepSub : QAbstractSlider::SliderPageStepAdd);
    sheet.flush();
    ahead = !ahead;
    state.ResumeTiming();
    overview->sync();
    overview->repaint();
  }
  if (overview->renderCount() != renders) state.SkipWithError("the overview drew its picture again");
  state.SetLabel(positionName(int(state.range(0))));
  delete overview;
}

// The overview's picture of a new image: the whole sheet decoded and reduced
// into the window (once per image, rotation or polarity).
void BM_OverviewNewPicture(benchmark::State& state) {
  Sheet sheet;
  auto* overview = new hv::viewer::CPanOverViewWnd(*hv::bench::benchViewer().mainFrame());
  overview->setView(sheet.view);
  overview->toggle();
  overview->sync();
  for (auto _ : state) {
    emit sheet.view->imageChanged();
    overview->sync();
    overview->repaint();
  }
  state.counters["picture_width"] = overview->picture().width();
  delete overview;
}

void positions(benchmark::internal::Benchmark* b) {
  b->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
}

BENCHMARK(BM_ScrollLineDown_1to1)->Apply(positions)->MinTime(1.0);
BENCHMARK(BM_ScrollLineRight_1to1)->Apply(positions)->MinTime(1.0);
BENCHMARK(BM_ScrollPageDown_1to1)->Apply(positions)->MinTime(1.0);
BENCHMARK(BM_ZoomStep)->Apply(positions)->MinTime(1.0);
BENCHMARK(BM_ZoomStepFromFit)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()->Iterations(20);
BENCHMARK(BM_OverviewUpdate)->Apply(positions)->Iterations(200);
BENCHMARK(BM_OverviewNewPicture)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
  hv::bench::prepareBenchEnvironment();
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  hv::bench::stopBenchViewer();
  return 0;
}
