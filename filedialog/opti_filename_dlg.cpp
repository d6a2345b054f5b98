#include "filedialog/opti_filename_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

COptiFileNameDlg::COptiFileNameDlg(const QString& currentName, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("optiFileNameDlg"));
  setWindowTitle(QStringLiteral("Rename"));
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(QStringLiteral("&New name:"), this);
  edit_ = new QLineEdit(currentName, this);
  edit_->setObjectName(QStringLiteral("optiFileNameEdit"));
  edit_->setMaxLength(64);
  edit_->setMinimumWidth(edit_->fontMetrics().averageCharWidth() * 48);
  edit_->selectAll();
  label->setBuddy(edit_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(label);
  layout->addWidget(edit_);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto updateOk = [this, buttons] { buttons->button(QDialogButtonBox::Ok)->setEnabled(!edit_->text().trimmed().isEmpty()); };
  connect(edit_, &QLineEdit::textChanged, this, updateOk);
  updateOk();
}

QString COptiFileNameDlg::fileName() const { return edit_->text(); }
