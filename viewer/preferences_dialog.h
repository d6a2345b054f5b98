#pragma once
// The Preferences dialog ("View Preferences", "Directory Preferences") and
// its confirmation: fields are written in a fixed order, and the first folder
// that cannot be made or verified stops it after its message.
#include <QDialog>
#include <optional>

#include "viewer/view_state.h"
#include "viewer/viewer_settings.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QFormLayout;

namespace hv::viewer {

struct PreferencesInput {
  int typeCheckImages = 1, leftButtonZooms = 0, fileListSort = 0;
  QString initialPath, blipPath, cardwrightPath, tempDirPath, pdfViewer, imageQueue, batchPrintPath;
  int autoLaunchPDF = 0, stampDateTimeOnPrint = 1;
  int initialView = 0, initialRotation = 0, initialInvert = 0, initialPreview = 0;
  std::optional<EmbeddedSheetOptions> embedded;
};

// Writes the input in order; false after the message of the first failure.
// The running values take the settings the program uses at once.
bool applyPreferences(const PreferencesInput& input, CViewerSettings& settings, ViewerSettingsValues* running,
                      ViewState* frameState);

class CPreferencesDialog : public QDialog {
  Q_OBJECT
 public:
  CPreferencesDialog(CViewerSettings& settings, QWidget* parent = nullptr);
  PreferencesInput input() const;

 public slots:
  void accept() override;

 private:
  QLineEdit* folderRow(QFormLayout* form, const QString& label, const QString& name, const QString& value,
                       const QString& browseTitle, bool file = false);

  CViewerSettings& settings_;
  QCheckBox *typeCheck_, *leftZooms_, *autoPdf_, *stamp_, *invert_, *preview_;
  QButtonGroup *sort_, *initialView_, *rotation_;
  QLineEdit *initialPath_, *blipPath_, *cardwrightPath_, *tempDir_, *pdfViewer_, *queue_, *batchPrint_;
};

}  // namespace hv::viewer
