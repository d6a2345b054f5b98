#include "viewer/batch_print_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "batchprint/net_host.h"
#include "filedialog/file_request.h"
#include "viewer/batch_print_options.h"
#include "viewer/user_prompt.h"
#include "viewer/viewer_settings.h"

namespace hv::viewer {

namespace bp = hv::batchprint;

namespace {
QString qtext(const std::string& s) { return QString::fromLocal8Bit(s.data(), qsizetype(s.size())); }
std::string text(const QString& s) { return s.toLocal8Bit().toStdString(); }

QLineEdit* lineEdit(const std::string& value, const char* name) {
  auto* edit = new QLineEdit(qtext(value));
  edit->setObjectName(name);
  return edit;
}

QSpinBox* spinBox(unsigned value, int maximum, const char* name) {
  auto* box = new QSpinBox;
  box->setRange(0, maximum);
  box->setValue(int(std::min<unsigned>(value, unsigned(maximum))));
  box->setObjectName(name);
  return box;
}
}  // namespace

CBatchPrintOptionsDialog::CBatchPrintOptionsDialog(const bp::BatchPrintOptions& options, bp::HostList hosts,
                                                   QWidget* parent)
    : QDialog(parent), options_(options), hosts_(std::move(hosts)) {
  setObjectName("BatchPrintOptionsDialog");
  setWindowTitle("Batch Image Print Options");
  auto* top = new QVBoxLayout(this);

  auto* general = new QFormLayout;
  remote_ = new QCheckBox("Print through a print server (remote)");
  remote_->setObjectName("remote");
  remote_->setChecked(options.remote);
  general->addRow(remote_);
  invert_ = new QCheckBox("Print inverted");
  invert_->setObjectName("invert");
  invert_->setChecked(options.invert);
  general->addRow(invert_);
  auto* folderRow = new QHBoxLayout;
  directory_ = lineEdit(options.directory, "directory");
  auto* browse = new QPushButton("Browse...");
  browse->setObjectName("directoryBrowse");
  folderRow->addWidget(directory_, 1);
  folderRow->addWidget(browse);
  general->addRow("Start selection in:", folderRow);
  filters_ = lineEdit(options.selectionFilters, "selectionFilters");
  general->addRow("Selection filters:", filters_);
  top->addLayout(general);

  server_ = new QGroupBox("Print server");
  server_->setObjectName("serverGroup");
  auto* form = new QFormLayout(server_);
  serverName_ = new QComboBox;
  serverName_->setObjectName("serverName");
  serverName_->setEditable(true);
  serverName_->setInsertPolicy(QComboBox::NoInsert);
  for (const bp::HostEntry& e : hosts_.entries()) serverName_->addItem(qtext(e.name));
  serverName_->setEditText(qtext(options.serverName));
  form->addRow("Server name:", serverName_);
  serverAddress_ = lineEdit(options.serverAddress, "serverAddress");
  // Up to four decimal parts separated by points.
  serverAddress_->setValidator(
      new QRegularExpressionValidator(QRegularExpression(R"(\d{0,3}(\.\d{0,3}){0,3})"), serverAddress_));
  form->addRow("Server address:", serverAddress_);
  copies_ = spinBox(options.copies, 99, "copies");
  form->addRow("Copies:", copies_);
  plotter_ = spinBox(options.plotter, 9999, "plotter");
  form->addRow("Plotter:", plotter_);
  size_ = lineEdit(options.size, "size");
  form->addRow("Size:", size_);
  listName_ = lineEdit(options.dataListName, "dataListName");
  form->addRow("Data list name:", listName_);
  reserved_ = lineEdit(options.reserved1, "reserved1");
  form->addRow("Reserved:", reserved_);
  top->addWidget(server_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  top->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(remote_, &QCheckBox::toggled, this, &CBatchPrintOptionsDialog::remoteToggled);
  connect(serverName_, &QComboBox::textActivated, this, &CBatchPrintOptionsDialog::serverChosen);
  connect(browse, &QPushButton::clicked, this, [this] {
    FileDialogRequest request;
    request.owner = this;
    request.initialFolder = directory_->text();
    request.kind = 16;
    request.title = "Select Batch Print Start Folder:";
    const FileDialogResult chosen = RunFileDialogRequest(request);
    if (chosen.code == QDialog::Accepted && !chosen.folder.isEmpty())
      directory_->setText(withSlash(chosen.folder));
  });
  remoteToggled(options.remote);
}

void CBatchPrintOptionsDialog::remoteToggled(bool on) { server_->setEnabled(on); }

void CBatchPrintOptionsDialog::serverChosen(const QString& name) {
  const int at = hosts_.find(text(name));
  if (at >= 0) serverAddress_->setText(qtext(hosts_.entries()[at].address));
}

void CBatchPrintOptionsDialog::accept() {
  bp::BatchPrintOptions o = options_;
  o.remote = remote_->isChecked();
  o.invert = invert_->isChecked();
  o.directory = text(directory_->text());
  o.selectionFilters = text(filters_->text());
  if (o.remote) {
    const QString name = serverName_->currentText().trimmed();
    if (!name.isEmpty()) {
      const int at = hosts_.find(text(name));
      if (at < 0) {
        showMessage("Host name could not be found in hostname list", QMessageBox::Warning);
        serverName_->setFocus();
        return;
      }
      serverAddress_->setText(qtext(hosts_.entries()[at].address));
    }
    o.serverName = text(name);
    const std::string address = text(serverAddress_->text());
    o.serverAddress = bp::ParseAddress(address) ? address : std::string();
    o.copies = unsigned(copies_->value());
    o.plotter = unsigned(plotter_->value());
    o.size = text(size_->text());
    o.dataListName = text(listName_->text());
    o.reserved1 = text(reserved_->text());
  }
  options_ = o;
  QDialog::accept();
}

bool editBatchPrintOptions(QWidget* owner, CViewerSettings& settings, const QString& callerFolder) {
  bp::HostList hosts;
  hosts.loadDefault();
  CBatchPrintOptionsDialog dialog(readBatchPrintOptions(settings, callerFolder), std::move(hosts), owner);
  if (dialog.exec() != QDialog::Accepted) return false;
  writeBatchPrintOptions(settings, dialog.options());
  return true;
}

}  // namespace hv::viewer
