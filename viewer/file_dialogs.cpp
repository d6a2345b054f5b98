#include "viewer/file_dialogs.h"

#include <QDialog>

#include "viewer/viewer_settings.h"

#if HV_HAVE_TARNWICK
#include "filedialog/file_request.h"
#else
#include <QFileDialog>
#endif

namespace hv::viewer {

#if HV_HAVE_TARNWICK

OpenChoice runOpenDialog(QWidget* owner, const QString& folder, const QString& filter, int fileListSort,
                         const QStringList& exclusions) {
  FileDialogRequest request;
  request.owner = owner;
  request.initialFolder = folder;
  request.kind = 1;
  request.multipleSelection = true;
  request.filter = filter;
  request.exclusions = exclusions;
  request.itemType = fileListSort;
  FileDialogResult result = RunFileDialogRequest(request);
  OpenChoice choice;
  choice.accepted = result.code == QDialog::Accepted;
  choice.folder = withSlash(result.folder);
  choice.paths = result.realPaths;
  return choice;
}

SaveAsChoice runSaveAsDialog(QWidget* owner, const QString& folder, const QString& name) {
  FileDialogRequest request;
  request.owner = owner;
  request.initialFolder = folder;
  request.kind = 4;
  request.defaultName = name;
  FileDialogResult result = RunFileDialogRequest(request);
  SaveAsChoice choice;
  choice.accepted = result.code == QDialog::Accepted && !result.realPaths.isEmpty();
  if (choice.accepted) choice.path = result.realPaths.front();
  choice.typeNumber = result.filterIndex;
  return choice;
}

#else

// Until the image file dialog library is part of the build: Qt's own dialog
// with the same filters.
namespace {
QString qtFilter(const QString& filter) {
  QStringList parts = filter.split('|', Qt::SkipEmptyParts);
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) out << parts[i].trimmed().section('(', 0, 0).trimmed() + " (" +
                                                          QString(parts[i + 1]).replace(';', ' ') + ")";
  return out.join(";;");
}
const char* kSaveFilters =
    "Tiff Group 4 (*.tif)|*.tif|Tiff Group 3 (*.tif)|*.tif|Tiff Group 3 Modified Huffman (*.tif)|*.tif|"
    "CALS Type 1 (*.cal)|*.cal|CALS Type 2 (*.ct2)|*.ct2|EDMICS (*.c4)|*.c4||";
}  // namespace

OpenChoice runOpenDialog(QWidget* owner, const QString& folder, const QString& filter, int,
                         const QStringList&) {
  QFileDialog dialog(owner, "Open", folder, qtFilter(filter.isEmpty() ? "All Files (*.*) |*||" : filter));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  OpenChoice choice;
  choice.accepted = dialog.exec() == QDialog::Accepted;
  choice.folder = withSlash(dialog.directory().absolutePath());
  choice.paths = dialog.selectedFiles();
  return choice;
}

SaveAsChoice runSaveAsDialog(QWidget* owner, const QString& folder, const QString& name) {
  QString filters = qtFilter(kSaveFilters);
  QFileDialog dialog(owner, "Save As", folder + name, filters);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  SaveAsChoice choice;
  choice.accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
  if (choice.accepted) choice.path = dialog.selectedFiles().front();
  choice.typeNumber = int(filters.split(";;").indexOf(dialog.selectedNameFilter())) + 1;
  return choice;
}

#endif

}  // namespace hv::viewer
