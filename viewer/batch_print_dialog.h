#pragma once
// The batch print options dialog: local or remote printing, the print server
// chosen from the host list, and the values of the job records.
#include <QDialog>

#include "batchprint/host_list.h"
#include "batchprint/print_options.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QSpinBox;

namespace hv::viewer {

class CViewerSettings;

class CBatchPrintOptionsDialog : public QDialog {
  Q_OBJECT
 public:
  // hosts: the print servers offered by name.
  CBatchPrintOptionsDialog(const hv::batchprint::BatchPrintOptions& options, hv::batchprint::HostList hosts,
                           QWidget* parent = nullptr);

  // The options as the dialog holds them (valid after accept()).
  const hv::batchprint::BatchPrintOptions& options() const { return options_; }

 public slots:
  // Refuses a server name that is not in the host list; takes the server's
  // address from the list otherwise.
  void accept() override;

 private:
  void serverChosen(const QString& name);
  void remoteToggled(bool on);

  hv::batchprint::BatchPrintOptions options_;
  hv::batchprint::HostList hosts_;
  QCheckBox *remote_, *invert_;
  QGroupBox* server_;
  QComboBox* serverName_;
  QLineEdit *serverAddress_, *size_, *listName_, *reserved_, *directory_, *filters_;
  QSpinBox *copies_, *plotter_;
};

// Shows the dialog on the stored options and writes them on OK; true when written.
bool editBatchPrintOptions(QWidget* owner, CViewerSettings& settings, const QString& callerFolder);

}  // namespace hv::viewer
