#include "filedialog/file_request.h"

#include <QDialog>
#include <QDir>
#include <QPointer>

#include "filedialog/image_file_dialog.h"

namespace {

QPointer<CImageFileDialog>& lastDialog() {
  static QPointer<CImageFileDialog> dialog;
  return dialog;
}

}  // namespace

FileDialogResult RunFileDialogRequest(const FileDialogRequest& request) {
  delete lastDialog().data();

  int type = CImageFileDialog::Open;
  CImageFileDialog::Flags flags = CImageFileDialog::Resizable | CImageFileDialog::HideReadOnly |
                                  CImageFileDialog::OverwritePrompt;
  QString filter = request.filter.isEmpty() ? QString::fromLatin1(kDefaultFilter) : request.filter;
  QString name;
  switch (request.kind) {
    case 1:
      type = CImageFileDialog::Open;
      if (request.multipleSelection) flags |= CImageFileDialog::AllowMultiSelect;
      name = request.defaultName;
      break;
    case 2:
      type = CImageFileDialog::Delete;
      flags |= CImageFileDialog::AllowMultiSelect;
      break;
    case 4:
      type = CImageFileDialog::SaveAs;
      filter = QString::fromLatin1(kSaveAsFilter);
      name = request.defaultName;
      break;
    case 16:
      type = CImageFileDialog::SelectFolder;
      break;
    default:
      type = CImageFileDialog::Open;
      name = request.defaultName;
  }
  const QString folder = request.initialFolder.isEmpty() ? QDir::currentPath() : request.initialFolder;
  auto* dialog = new CImageFileDialog(type, QString(), name, flags, filter, request.owner, folder, request.title,
                                      request.itemType, request.highlightName);
  lastDialog() = dialog;
  if (!request.exclusions.isEmpty()) dialog->Set_ExcludeFileExtensions(true, request.exclusions);

  FileDialogResult result;
  result.code = dialog->DoModal();
  result.folder = dialog->GetCurrentWorkingDirectory();
  if (result.code == QDialog::Accepted && type != CImageFileDialog::SelectFolder)
    for (int i = 0; i < dialog->GetOptiFileCount(); ++i) result.realPaths << dialog->GetOptiFilenameByIndex(i);
  result.filterIndex = dialog->GetFileTypeIndex();
  return result;
}

CImageFileDialog* LastFileDialog() { return lastDialog().data(); }
