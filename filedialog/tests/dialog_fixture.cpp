#include "dialog_fixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QListView>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <sys/stat.h>

#include "docindex/docfiles_record.h"
#include "filedialog/dialog_messages.h"
#include "filedialog/image_file_dialog.h"

namespace tarnwick_test {

std::string indexBytes(const std::vector<Entry>& entries) {
  std::vector<hv::docindex::DocFileRecord> records;
  for (const auto& e : entries)
    records.push_back(hv::docindex::DocFileRecord::make(e.longName, e.shortName, e.access,
                                                        records.empty() ? nullptr : &records.back()));
  return hv::docindex::serialiseRecords(records);
}

Folder::Folder() { dir_.setAutoRemove(true); }

QString Folder::path() const { return dir_.path() + u'/'; }
QByteArray Folder::native() const { return QFile::encodeName(path()); }

void Folder::write(const std::string& name, const std::string& bytes) const {
  std::ofstream out((native() + name.c_str()).constData(), std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void Folder::makeFolder(const std::string& name) const { ::mkdir((native() + name.c_str()).constData(), 0755); }

void Folder::index(const std::vector<Entry>& entries, bool files) const {
  write("DOCFILES.IDX", indexBytes(entries));
  ::chmod((native() + "DOCFILES.IDX").constData(), 0444);
  if (!files) return;
  for (const auto& e : entries) {
    if (e.access == 'D') {
      makeFolder(e.shortName);
      write(e.shortName + "/DOCFILES.IDX", "");
    } else {
      write(e.shortName, std::string(3000, 'x'));
    }
  }
}

std::string Folder::read(const std::string& name) const {
  std::ifstream in((native() + name.c_str()).constData(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Folder::exists(const std::string& name) const {
  struct stat st {};
  return ::lstat((native() + name.c_str()).constData(), &st) == 0;
}

QStringList standardNames(CImageFileDialog* dialog) {
  auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
  auto* fs = dialog->findChild<QFileSystemModel*>();
  if (view == nullptr || fs == nullptr) return {};
  const QString folder = QDir::cleanPath(dialog->directory().absolutePath());
  // The listing arrives from the model's gatherer thread; wait until the
  // folder is loaded and the model has settled.
  QSignalSpy loaded(fs, &QFileSystemModel::directoryLoaded);
  for (int i = 0; i < 50 && fs->canFetchMore(fs->index(folder)); ++i) QTest::qWait(20);
  loaded.wait(300);
  QTest::qWait(150);
  QAbstractItemModel* model = view->model();
  const QModelIndex root = view->rootIndex();
  QStringList names;
  for (int r = 0; r < model->rowCount(root); ++r) names << model->index(r, 0, root).data().toString();
  names.sort();
  return names;
}

QStringList aliasNames(CImageFileDialog* dialog) {
  auto* view = dialog->findChild<QAbstractItemView*>(QStringLiteral("aliasList"));
  QStringList names;
  for (int r = 0; r < view->model()->rowCount(); ++r) names << view->model()->index(r, 0).data().toString();
  return names;
}

void selectAliases(CImageFileDialog* dialog, const QStringList& longNames) {
  auto* view = dialog->findChild<QAbstractItemView*>(QStringLiteral("aliasList"));
  view->selectionModel()->clearSelection();
  for (int r = 0; r < view->model()->rowCount(); ++r) {
    const QModelIndex idx = view->model()->index(r, 0);
    if (longNames.contains(idx.data().toString()))
      view->selectionModel()->select(idx, QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
}

void whenShown(std::function<void(CImageFileDialog*)> action) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, action] {
    if (auto* d = qobject_cast<CImageFileDialog*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      action(d);
      // A check that failed inside action returned early: close the dialog
      // so that the test reports instead of waiting.
      if (d->isVisible()) d->reject();
    }
  });
  timer->start();
}

Messages::Messages() {
  SetTarnwickMessageSink([this](const QString& caption, const QString& text) {
    captions << caption;
    texts << text;
  });
}

Messages::~Messages() { SetTarnwickMessageSink({}); }

}  // namespace tarnwick_test
