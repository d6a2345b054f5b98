// The image file dialog entering big folders: the alias list of a folder of
// 10,000 indexed drawings, and the standard list of 10,000 plain files beside
// a bare non-native QFileDialog in the same run. Qt runs on the offscreen
// platform; times are wall-clock, since the file system model lists folders
// on its own thread.
#include <benchmark/benchmark.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QListView>
#include <QTemporaryDir>
#include <fstream>
#include <memory>

#include "docindex/docfiles_record.h"
#include "filedialog/file_request.h"
#include "filedialog/image_file_dialog.h"

namespace {

constexpr int kFiles = 10000;

QApplication& app() {
  static int argc = 1;
  static char name[] = "tarnwickbench";
  static char* argv[] = {name, nullptr};
  static QApplication* a = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  return *a;
}

void writeFile(const QString& path, const std::string& bytes) {
  std::ofstream out(QFile::encodeName(path).constData(), std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// 10,000 drawings OPTI0000.TIF ... OPTI9999.TIF with their long names.
const QString& indexedFolder() {
  static QTemporaryDir dir;
  static bool made = false;
  if (!made) {
    made = true;
    std::vector<hv::docindex::DocFileRecord> records;
    for (int i = 0; i < kFiles; ++i) {
      const QString shortName = QString::asprintf("OPTI%04d.TIF", i);
      writeFile(dir.path() + '/' + shortName, std::string(512, 'x'));
      const std::string longName = "Drawing 84-" + std::to_string(100000 + i * 7 % kFiles) + " sheet " +
                                   std::to_string(i % 9 + 1) + " of 9";
      records.push_back(hv::docindex::DocFileRecord::make(longName, shortName.toStdString(), 'W',
                                                          records.empty() ? nullptr : &records.back()));
    }
    writeFile(dir.path() + "/DOCFILES.IDX", hv::docindex::serialiseRecords(records));
  }
  static const QString path = dir.path() + '/';
  return path;
}

const QString& plainFolder() {
  static QTemporaryDir dir;
  static bool made = false;
  if (!made) {
    made = true;
    for (int i = 0; i < kFiles; ++i) writeFile(dir.path() + QString::asprintf("/scan-%05d.tif", i), "x");
  }
  static const QString path = dir.path() + '/';
  return path;
}

std::unique_ptr<CImageFileDialog> makeDialog(const QString& folder, int itemType) {
  return std::make_unique<CImageFileDialog>(CImageFileDialog::Open, QString(), QString(),
                                            CImageFileDialog::AllowMultiSelect, kDefaultFilter, nullptr, folder,
                                            QString(), itemType, QString());
}

// Entering the folder: index read, every entry's status, the alias list
// filled (sorted by long name for range 2) and the standard list's filter
// told the members.
void BM_EnterIndexedFolder(benchmark::State& state) {
  app();
  const QString folder = indexedFolder();
  auto dialog = makeDialog(QDir::tempPath(), static_cast<int>(state.range(0)));
  for (auto _ : state) {
    dialog->ProcCurrentFolder(folder, true);
    if (dialog->aliasCount() != kFiles) state.SkipWithError("alias list incomplete");
  }
  state.counters["entries"] = kFiles;
}
BENCHMARK(BM_EnterIndexedFolder)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

// The user's way in: a shown dialog navigates to the indexed folder. Timed
// until the alias list is filled (it fills while the folder is entered) and
// until the file system model has listed all 10,000 files and the filter
// has hidden them from the standard list.
void BM_NavigateToIndexedFolder(benchmark::State& state) {
  app();
  const QString folder = indexedFolder();
  for (auto _ : state) {
    auto dialog = makeDialog(QDir::tempPath(), 0);
    dialog->show();
    auto* fs = dialog->findChild<QFileSystemModel*>();
    QElapsedTimer clock;
    clock.start();
    dialog->setDirectory(folder);
    const double filled = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    const QModelIndex root = fs->index(QDir::cleanPath(folder));
    while ((fs->rowCount(root) < kFiles + 1 || fs->canFetchMore(root)) && clock.elapsed() < 20000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
    state.counters["alias_list_ms"] = filled;
    if (dialog->aliasCount() != kFiles || fs->rowCount(root) != kFiles + 1) state.SkipWithError("incomplete");
  }
}
BENCHMARK(BM_NavigateToIndexedFolder)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// The same navigation in a bare non-native QFileDialog, for comparison.
void BM_NavigateToIndexedFolder_BareQFileDialog(benchmark::State& state) {
  app();
  const QString folder = indexedFolder();
  for (auto _ : state) {
    QFileDialog dialog(nullptr, QString(), QDir::tempPath());
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.show();
    auto* fs = dialog.findChild<QFileSystemModel*>();
    QElapsedTimer clock;
    clock.start();
    dialog.setDirectory(folder);
    const double entered = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    const QModelIndex root = fs->index(QDir::cleanPath(folder));
    while ((fs->rowCount(root) < kFiles + 1 || fs->canFetchMore(root)) && clock.elapsed() < 20000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
    state.counters["set_directory_ms"] = entered;
  }
}
BENCHMARK(BM_NavigateToIndexedFolder_BareQFileDialog)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// A new dialog opened on the indexed folder, until its alias list is filled.
void BM_OpenDialogOnIndexedFolder(benchmark::State& state) {
  app();
  const QString folder = indexedFolder();
  for (auto _ : state) {
    auto dialog = makeDialog(folder, 0);
    if (dialog->aliasCount() != kFiles) state.SkipWithError("alias list incomplete");
  }
}
BENCHMARK(BM_OpenDialogOnIndexedFolder)->Unit(benchmark::kMillisecond);

// Shown and listed: from creating the dialog until its standard list shows
// all 10,000 plain files.
template <typename Make>
void listPlainFolder(benchmark::State& state, Make make) {
  app();
  const QString folder = plainFolder();
  for (auto _ : state) {
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<QFileDialog> dialog = make(folder);
    dialog->show();
    auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
    while (view->model()->rowCount(view->rootIndex()) < kFiles && clock.elapsed() < 20000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
    if (view->model()->rowCount(view->rootIndex()) != kFiles) state.SkipWithError("listing incomplete");
    dialog->hide();
  }
}

void BM_PlainFolder_Tarnwick(benchmark::State& state) {
  listPlainFolder(state, [](const QString& folder) -> std::unique_ptr<QFileDialog> { return makeDialog(folder, 0); });
}
void BM_PlainFolder_BareQFileDialog(benchmark::State& state) {
  listPlainFolder(state, [](const QString& folder) -> std::unique_ptr<QFileDialog> {
    auto d = std::make_unique<QFileDialog>(nullptr, QString(), folder);
    d->setOption(QFileDialog::DontUseNativeDialog, true);
    d->setFileMode(QFileDialog::ExistingFiles);
    d->setNameFilter(QStringLiteral("All Files (*)"));
    return d;
  });
}
// Interleaved so that both see the same machine state.
BENCHMARK(BM_PlainFolder_BareQFileDialog)->UseManualTime()->Iterations(8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainFolder_Tarnwick)->UseManualTime()->Iterations(8)->Unit(benchmark::kMillisecond);

}  // namespace
