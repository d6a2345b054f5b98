// The viewer beside a plain Qt viewer: opening the E-size 400 dpi Group 4
// sheet and painting its first fitted frame in a 1600 x 1200 view, the
// memory that costs, and stepping Next through a folder of 200 drawings.
//
// Memory is measured in fresh processes (this program started again with
// --memory viewer|qt FILE), so neither side inherits the other's heap.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "bench/bench_data.h"
#include "bench/viewer/empty_viewer.h"
#include "viewer/main_frame.h"
#include "viewer/tests/drawing_files.h"
#include "viewer/viewer_app.h"
#include "viewer/viewer_doc.h"
#include "viewer/viewer_view.h"

extern char** environ;

namespace {

constexpr int kViewWidth = 1600, kViewHeight = 1200;

long statusKb(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  const std::size_t n = std::strlen(field);
  while (std::getline(in, line))
    if (line.compare(0, n, field) == 0) return std::atol(line.c_str() + n + 1);
  return -1;
}

// The viewer's way: a document and its view, fitted, first frame painted.
void viewerFirstFrame(const QString& path) {
  auto* doc = new hv::viewer::CViewerDoc();
  auto* view = new hv::viewer::CViewerView(doc, hv::viewer::CViewerApp::instance()->mainFrame()->viewState());
  view->resize(kViewWidth, kViewHeight);
  if (!doc->OnOpenDocument(path) || doc->image() == nullptr) std::abort();
  doc->UpdateAllViews(hv::viewer::HintNewImage);
  QImage frame(kViewWidth, kViewHeight, QImage::Format_RGB32);
  view->viewport()->render(&frame);
  benchmark::DoNotOptimize(frame.constBits());
  delete view;
  delete doc;
}

// The plain Qt way: the TIFF plugin reads the sheet, one drawImage fits it
// (nearest pixel, Qt's default; or smoothed, which keeps thin lines visible).
void qtFirstFrame(const QString& path, bool smooth = false) {
  QImageReader reader(path);
  // Qt refuses images above 128 MB by default (its check counts 4 bytes a
  // pixel); a viewer of E-size sheets has to lift the limit.
  reader.setAllocationLimit(4096);
  QImage sheet = reader.read();
  if (sheet.isNull()) std::abort();
  QImage frame(kViewWidth, kViewHeight, QImage::Format_RGB32);
  frame.fill(Qt::white);
  QPainter painter(&frame);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
  QSize fitted = sheet.size().scaled(kViewWidth, kViewHeight, Qt::KeepAspectRatio);
  painter.drawImage(QRect(QPoint(0, 0), fitted), sheet);
  painter.end();
  benchmark::DoNotOptimize(frame.constBits());
}

// Peak resident growth in KiB of one first frame, measured in a fresh process.
long memoryGrowth(const char* which, const std::string& path) {
  char self[4096];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return -1;
  self[n] = 0;
  std::string out = hv::bench::benchHomeFile(QString("memory-%1.txt").arg(which)).toStdString();
  const char* argv[] = {self, "--memory", which, path.c_str(), out.c_str(), nullptr};
  pid_t pid;
  if (posix_spawn(&pid, self, nullptr, nullptr, const_cast<char**>(argv), environ) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  std::ifstream in(out);
  long kb = -1;
  in >> kb;
  return kb;
}

void BM_FirstFittedFrame_Viewer(benchmark::State& state) {
  hv::bench::benchViewer();
  const QString path = QString::fromStdString(hv::bench::eSizeG4TiffPath());
  for (auto _ : state) viewerFirstFrame(path);
  state.counters["peak_growth_MiB"] = double(memoryGrowth("viewer", path.toStdString())) / 1024.0;
}

void BM_FirstFittedFrame_PlainQt(benchmark::State& state) {
  hv::bench::benchViewer();
  const QString path = QString::fromStdString(hv::bench::eSizeG4TiffPath());
  for (auto _ : state) qtFirstFrame(path);
  state.counters["peak_growth_MiB"] = double(memoryGrowth("qt", path.toStdString())) / 1024.0;
}

void BM_FirstFittedFrame_PlainQtSmooth(benchmark::State& state) {
  hv::bench::benchViewer();
  const QString path = QString::fromStdString(hv::bench::eSizeG4TiffPath());
  for (auto _ : state) qtFirstFrame(path, true);
  state.counters["peak_growth_MiB"] = double(memoryGrowth("qt-smooth", path.toStdString())) / 1024.0;
}

// 200 generated drawings (A size, 200 dpi) in one folder, cached under the build tree.
QString stepFolder() {
  const QString dir = QString(HV_BENCH_DATA_DIR) + "/step200/";
  QDir().mkpath(dir);
  for (int i = 0; i < 200; ++i) {
    QString path = dir + QString("drawing-%1.tif").arg(i, 3, 10, QChar('0'));
    if (!QFile::exists(path) &&
        !hv::viewer::test::writeDrawing(path.toStdString(), "TIFFGP4 ", 1000 + unsigned(i), 2200, 1700))
      std::abort();
  }
  return dir;
}

struct Stepper {
  hv::viewer::CViewerDoc* doc = nullptr;
  hv::viewer::CViewerView* view = nullptr;
  QString dir;
  QImage frame{kViewWidth, kViewHeight, QImage::Format_RGB32};

  explicit Stepper(const QString& folder) : dir(folder) {
    hv::viewer::CViewerApp& app = hv::bench::benchViewer();
    app.values().typeCheckImages = 1;
    doc = new hv::viewer::CViewerDoc();
    view = new hv::viewer::CViewerView(doc, app.mainFrame()->viewState());
    view->resize(kViewWidth, kViewHeight);
    restart();
  }
  ~Stepper() {
    delete view;
    delete doc;
  }
  void restart() {
    doc->OnOpenDocument(dir + "drawing-000.tif");
    doc->UpdateAllViews(hv::viewer::HintNewImage);
  }
  // One Next with its first painted frame.
  void step() {
    doc->OnNext();
    view->viewport()->render(&frame);
  }
  // A file created and removed: the folder's list is no longer valid.
  void touchFolder() {
    QFile f(dir + "touch.tmp");
    f.open(QIODevice::WriteOnly);
    f.close();
    QFile::remove(dir + "touch.tmp");
  }
};

void BM_NextStep_BuildingTheList(benchmark::State& state) {
  Stepper s(stepFolder());
  for (auto _ : state) {
    state.PauseTiming();
    if (!s.doc->canNext()) s.restart();
    s.touchFolder();
    int before = s.doc->neighbours().enumerations();
    state.ResumeTiming();
    s.step();
    state.PauseTiming();
    if (s.doc->neighbours().enumerations() != before + 1) state.SkipWithError("the list was not rebuilt");
    state.ResumeTiming();
  }
}

void BM_NextStep_KeptList(benchmark::State& state) {
  Stepper s(stepFolder());
  s.step();
  for (auto _ : state) {
    if (!s.doc->canNext()) {
      state.PauseTiming();
      s.restart();
      s.step();
      state.ResumeTiming();
    }
    int before = s.doc->neighbours().enumerations();
    s.step();
    if (s.doc->neighbours().enumerations() != before) state.SkipWithError("the list was rebuilt");
  }
}

BENCHMARK(BM_FirstFittedFrame_Viewer)->Unit(benchmark::kMillisecond)->MinTime(2.0)->MeasureProcessCPUTime();
BENCHMARK(BM_FirstFittedFrame_PlainQt)->Unit(benchmark::kMillisecond)->MinTime(2.0)->MeasureProcessCPUTime();
BENCHMARK(BM_FirstFittedFrame_PlainQtSmooth)->Unit(benchmark::kMillisecond)->MinTime(2.0)->MeasureProcessCPUTime();
BENCHMARK(BM_NextStep_BuildingTheList)->Unit(benchmark::kMillisecond)->Iterations(60)->MeasureProcessCPUTime();
BENCHMARK(BM_NextStep_KeptList)->Unit(benchmark::kMillisecond)->Iterations(150)->MeasureProcessCPUTime();

// Child process: one first frame, then the peak resident growth in KiB.
int measureMemory(const char* which, const char* path, const char* out) {
  std::unique_ptr<hv::viewer::CViewerApp> app;
  QTemporaryDir home;
  if (std::strcmp(which, "viewer") == 0) {
    app = hv::bench::startEmptyViewer(home.path());
    if (!app) return 2;
  }
  // Warm up the painting machinery on a tiny image so both sides start alike.
  QImage warm(16, 16, QImage::Format_RGB32);
  QPainter(&warm).drawImage(QRect(0, 0, 8, 8), QImage(32, 32, QImage::Format_Mono));
  const long base = statusKb("VmRSS:");
  if (std::strcmp(which, "viewer") == 0)
    viewerFirstFrame(QString::fromLocal8Bit(path));
  else
    qtFirstFrame(QString::fromLocal8Bit(path), std::strcmp(which, "qt-smooth") == 0);
  std::ofstream(out) << statusKb("VmHWM:") - base << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  hv::bench::prepareBenchEnvironment();
  QApplication app(argc, argv);
  if (argc == 5 && std::strcmp(argv[1], "--memory") == 0) return measureMemory(argv[2], argv[3], argv[4]);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  hv::bench::stopBenchViewer();
  return 0;
}
