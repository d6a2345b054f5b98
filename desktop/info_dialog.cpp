#include "desktop/info_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace hv::desktop {

ImageInfoDialog::ImageInfoDialog(const hv::formats::ImageInformation& info, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromStdString(info.title));
  auto* form = new QFormLayout;
  for (const auto& field : info.fields) {
    auto* value = new QLabel(QString::fromStdString(field.value).trimmed());
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(QString::fromStdString(field.label) + QLatin1Char(':'), value);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

void installInfoDialogPresenter() {
  hv::formats::setInfoPresenter([](const hv::formats::ImageInformation& info, void* owner) {
    ImageInfoDialog dialog(info, static_cast<QWidget*>(owner));
    dialog.exec();
  });
}

}  // namespace hv::desktop
