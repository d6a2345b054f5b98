#include "viewer/printer_settings_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "viewer/user_prompt.h"
#include "viewer/viewer_app.h"

namespace hv::viewer {

QString preselectedPrinter(const QStringList& installed, const QString& current, const QString& defaultName,
                           const QString& systemDefault) {
  for (const QString& name : {current, defaultName, systemDefault})
    if (!name.isEmpty() && installed.contains(name)) return name;
  return installed.value(0);
}

CPrinterSettingsDialog::CPrinterSettingsDialog(const QStringList& installed, const QString& selected,
                                               const QString& systemDefault, const QStringList& inverted,
                                               QWidget* parent)
    : QDialog(parent) {
  setObjectName("PrinterSettingsDialog");
  setWindowTitle("Printer Settings");
  auto* top = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  printer_ = new QComboBox;
  printer_->setObjectName("defaultPrinter");
  printer_->addItems(installed);
  printer_->setCurrentIndex(std::max<qsizetype>(0, installed.indexOf(selected)));
  form->addRow("Default printer:", printer_);
  auto* system = new QLabel(systemDefault.isEmpty() ? QString("(none)") : systemDefault);
  system->setObjectName("systemDefaultPrinter");
  form->addRow("System default printer:", system);
  top->addLayout(form);

  top->addWidget(new QLabel("Printers that print with inverted bits:"));
  inverted_ = new QListWidget;
  inverted_->setObjectName("invertedPrinters");
  QStringList names = installed;
  for (const QString& name : inverted)
    if (!names.contains(name)) names << name;
  for (const QString& name : names) {
    auto* item = new QListWidgetItem(name, inverted_);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(inverted.contains(name) ? Qt::Checked : Qt::Unchecked);
    if (!installed.contains(name)) item->setToolTip("Not installed");
  }
  top->addWidget(inverted_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  top->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QString CPrinterSettingsDialog::chosenPrinter() const { return printer_->currentText(); }

QStringList CPrinterSettingsDialog::invertedPrinters() const {
  QStringList out;
  for (int i = 0; i < inverted_->count(); ++i)
    if (inverted_->item(i)->checkState() == Qt::Checked) out << inverted_->item(i)->text();
  return out;
}

bool runPrinterSettings(QWidget* owner, CViewerApp& app, const QStringList& installed,
                        const QString& systemDefault) {
  if (installed.isEmpty()) {
    showMessage("There are no printers installed on the system.  ", QMessageBox::Warning);
    return false;
  }
  CViewerSettings& settings = app.settings();
  const QStringList inverted = settings.loadList(kInvertedPrintersSection, kInvertedPrintersList);
  const QString selected = preselectedPrinter(installed, app.currentPrinter(),
                                              settings.read(keys::DefaultPrinterName), systemDefault);
  CPrinterSettingsDialog dialog(installed, selected, systemDefault, inverted, owner);
  if (dialog.exec() != QDialog::Accepted) return false;
  const QString chosen = dialog.chosenPrinter();
  settings.write(keys::DefaultPrinterName, chosen);
  app.values().defaultPrinterName = chosen;
  app.setCurrentPrinter(chosen);
  const QStringList list = dialog.invertedPrinters();
  settings.saveList(kInvertedPrintersSection, kInvertedPrintersList, list);
  app.values().invertedPrinters = list;
  settings.sync();
  return true;
}

}  // namespace hv::viewer
