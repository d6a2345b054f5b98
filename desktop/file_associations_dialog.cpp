#include "desktop/file_associations_dialog.h"

#include "desktop/mime_defaults.h"
#include "ui_file_associations_dialog.h"

namespace hv::desktop {

FileAssociationsDialog::FileAssociationsDialog(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::FileAssociationsDialog>()) {
  ui_->setupUi(this);
  // The same order as kImageTypeChoices.
  boxes_ = {ui_->calBox, ui_->ct1Box, ui_->g4Box, ui_->c4Box, ui_->tifBox};
  connect(ui_->okButton, &QPushButton::clicked, this, &FileAssociationsDialog::accept);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(ui_->checkAllButton, &QPushButton::clicked, this, [this] { setAll(true); });
  connect(ui_->uncheckAllButton, &QPushButton::clicked, this, [this] { setAll(false); });
}

FileAssociationsDialog::~FileAssociationsDialog() = default;

QStringList FileAssociationsDialog::checkedExtensions() const {
  QStringList out;
  for (int i = 0; i < boxes_.size(); ++i)
    if (boxes_[i]->isChecked()) out << kImageTypeChoices[i].extension;
  return out;
}

void FileAssociationsDialog::accept() {
  // Failures are not reported: the dialog closes either way, as a
  // registration that could not be written leaves the old choice in place.
  (void)makeViewerDefault(checkedExtensions());
  QDialog::accept();
}

void FileAssociationsDialog::setAll(bool checked) {
  for (QCheckBox* box : boxes_) box->setChecked(checked);
}

void showImageFileAssociations(QWidget* parent) {
  FileAssociationsDialog dialog(parent);
  dialog.exec();
}

}  // namespace hv::desktop
