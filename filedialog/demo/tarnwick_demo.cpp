// tarnwick-demo: opens one of the image file dialogs on a folder and prints
// what the dialog's accessors return. With --make-sample it first fills the
// folder with drawings under OPTI names, an alias folder and a few plain
// files; with --screenshot it saves a picture of the dialog and closes it.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <sys/stat.h>

#include "docindex/docfiles_store.h"
#include "filedialog/file_request.h"
#include "filedialog/image_file_dialog.h"

namespace {

bool copyDrawing(const QString& from, const QString& to) {
  QFile::remove(to);
  return from.isEmpty() ? QFile(to).open(QIODevice::WriteOnly) : QFile::copy(from, to);
}

// Registers each long name with a new OPTI short name and gives it a copy of
// the drawing.
bool registerDrawings(const QString& folder, const QStringList& names, const QString& drawing) {
  for (const QString& name : names) {
    const std::string path = QFile::encodeName(folder + name).toStdString();
    const int fd = hv::docindex::registerLongName(path, 0, "TIF");
    if (fd < 0) return false;
    ::close(fd);
  }
  QDir dir(folder);
  for (const QString& entry : dir.entryList({"OPTI*.TIF"}, QDir::Files))
    if (!copyDrawing(drawing, folder + entry)) return false;
  return true;
}

bool makeSample(const QString& folder, const QString& drawing) {
  QDir().mkpath(folder);
  const QStringList names = {
      "F-16 wing spar assembly, sheet 1 of 3", "F-16 wing spar assembly, sheet 2 of 3",
      "F-16 wing spar assembly, sheet 3 of 3", "Hydraulic manifold 12A-4410 rev C",
      "Landing gear door hinge 5512-002",     "Fuel pump mounting bracket",
      "Cable harness routing, forward bay",   "Avionics rack frame weldment",
  };
  if (!registerDrawings(folder + '/', names, drawing)) return false;
  // An alias folder holding two more drawings.
  const std::string dir = QFile::encodeName(folder).toStdString();
  auto shortName = hv::docindex::newShortName(dir, "ALS");
  if (!shortName) return false;
  const QString sub = folder + '/' + QString::fromStdString(*shortName) + '/';
  if (::mkdir(QFile::encodeName(sub).constData(), 0755) != 0) return false;
  if (hv::docindex::appendRecord(dir, "Job 4711 - engine nacelle", *shortName, 'D') != hv::Status::Ok) return false;
  if (!registerDrawings(sub, {"Nacelle frame station 210", "Nacelle frame station 240"}, drawing)) return false;
  for (const char* plain : {"README.txt", "scan-log-2024-03.csv"}) QFile(folder + '/' + plain).open(QIODevice::WriteOnly);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("tarnwick-demo");
  QCommandLineParser parser;
  parser.setApplicationDescription("Opens an image file dialog on FOLDER and prints what it returns.");
  parser.addHelpOption();
  parser.addPositionalArgument("FOLDER", "the folder the dialog starts in");
  QCommandLineOption kind("kind", "request kind: 1 open, 2 delete, 4 save as, 16 select folder", "N", "1");
  QCommandLineOption type("type", "dialog type 0-4 (Open, Print, Delete, Select Folder, Save As); overrides --kind", "N");
  QCommandLineOption multi("multi", "allow several files in an Open dialog");
  QCommandLineOption itemType("item-type", "sort order: 0 index, 1 real names, 2 long names", "N", "0");
  QCommandLineOption highlight("highlight", "file to select when the folder is shown", "PATH");
  QCommandLineOption exclude("exclude", "comma-separated exclusion list", "LIST");
  QCommandLineOption screenshot("screenshot", "save a picture of the dialog to FILE and close it", "FILE");
  QCommandLineOption sample("make-sample", "first fill FOLDER with an indexed sample");
  QCommandLineOption drawing("drawing", "drawing copied into the sample's files", "FILE");
  QCommandLineOption view("view", "alias list view: details, large or small", "VIEW", "details");
  parser.addOptions({kind, type, multi, itemType, highlight, exclude, screenshot, sample, drawing, view});
  parser.process(app);
  if (parser.positionalArguments().size() != 1) parser.showHelp(2);
  const QString folder = QDir(parser.positionalArguments().first()).absolutePath();

  if (parser.isSet(sample) && !makeSample(folder, parser.value(drawing))) {
    std::fprintf(stderr, "tarnwick-demo: cannot make the sample in %s\n", qPrintable(folder));
    return 1;
  }
  const QString viewName = parser.value(view);
  QTimer::singleShot(0, [viewName] {
    auto* d = qobject_cast<CImageFileDialog*>(QApplication::activeModalWidget());
    if (d == nullptr) return;
    if (viewName == "large") d->SetAliasView(CImageFileDialog::AliasView::LargeIcons);
    if (viewName == "small") d->SetAliasView(CImageFileDialog::AliasView::SmallIcons);
  });
  if (parser.isSet(screenshot)) {
    const QString file = parser.value(screenshot);
    QTimer::singleShot(600, [file] {
      if (QWidget* w = QApplication::activeModalWidget()) {
        w->grab().save(file);
        QMetaObject::invokeMethod(w, "reject");
      }
    });
  }

  FileDialogResult result;
  CImageFileDialog* dialog = nullptr;
  std::unique_ptr<CImageFileDialog> own;
  if (parser.isSet(type)) {
    const int t = parser.value(type).toInt();
    CImageFileDialog::Flags flags = CImageFileDialog::Resizable | CImageFileDialog::OverwritePrompt;
    if (parser.isSet(multi) || t == CImageFileDialog::Delete) flags |= CImageFileDialog::AllowMultiSelect;
    own = std::make_unique<CImageFileDialog>(t, QString(), QString(), flags,
                                             t == CImageFileDialog::SaveAs ? kSaveAsFilter : kDefaultFilter, nullptr,
                                             folder, QString(), parser.value(itemType).toInt(), parser.value(highlight));
    dialog = own.get();
    if (parser.isSet(exclude)) dialog->Set_ExcludeFileExtensions(true, parser.value(exclude).split(','));
    result.code = dialog->DoModal();
  } else {
    FileDialogRequest request;
    request.initialFolder = folder;
    request.kind = parser.value(kind).toInt();
    request.multipleSelection = parser.isSet(multi);
    request.itemType = parser.value(itemType).toInt();
    request.highlightName = parser.value(highlight);
    if (parser.isSet(exclude)) request.exclusions = parser.value(exclude).split(',');
    result = RunFileDialogRequest(request);
    dialog = LastFileDialog();
  }
  std::printf("result: %s\n", result.code == QDialog::Accepted ? "accepted" : "cancelled");
  std::printf("title: %s\n", qPrintable(dialog->windowTitle()));
  std::printf("GetCurrentWorkingDirectory: %s\n", qPrintable(dialog->GetCurrentWorkingDirectory()));
  std::printf("GetFileTypeIndex: %d\n", dialog->GetFileTypeIndex());
  std::printf("GetOptiFileCount: %d\n", dialog->GetOptiFileCount());
  for (int i = 0; i < dialog->GetOptiFileCount(); ++i) {
    const QString path = dialog->GetOptiFilenameByIndex(i);
    const QString name = path.section('/', -1);
    const QString longName = dialog->GetLongFileName(name);
    std::printf("GetOptiFilenameByIndex(%d): %s%s%s\n", i, qPrintable(path), longName.isEmpty() ? "" : "  long name: ",
                qPrintable(longName));
  }
  std::printf("alias entries: %d\n", dialog->aliasCount());
  return 0;
}
