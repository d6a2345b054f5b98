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
class QSpinBox;
class QWidget;

namespace hv::viewer {

// The embedded-sheet options as typed: sizes and the grid unit are decimal
// inches ("8.5", ".5"), checked when the dialog is confirmed.
struct EmbeddedSheetInput {
  int pageCount = 4;
  QString sheetWidth = "8.5", sheetHeight = "11", gridUnit = ".5";
  int popupInfo = 1, snapToGrid = 0;
};

// A decimal number of inches greater than zero, or nothing.
std::optional<double> parseInches(const QString& text);

struct PreferencesInput {
  int typeCheckImages = 1, leftButtonZooms = 0, fileListSort = 0;
  QString initialPath, blipPath, cardwrightPath, tempDirPath, pdfViewer, imageQueue, batchPrintPath;
  int autoLaunchPDF = 0, stampDateTimeOnPrint = 1;
  int initialView = 0, initialRotation = 0, initialInvert = 0, initialPreview = 0;
  std::optional<EmbeddedSheetInput> embedded;
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
  QWidget* embeddedSheetBox(const EmbeddedSheetOptions& options);

  CViewerSettings& settings_;
  QCheckBox *typeCheck_, *leftZooms_, *autoPdf_, *stamp_, *invert_, *preview_;
  QButtonGroup *sort_, *initialView_, *rotation_;
  QLineEdit *initialPath_, *blipPath_, *cardwrightPath_, *tempDir_, *pdfViewer_, *queue_, *batchPrint_;
  QSpinBox* pageCount_;
  QLineEdit *sheetWidth_, *sheetHeight_, *gridUnit_;
  QCheckBox *popupInfo_, *snapToGrid_;
};

}  // namespace hv::viewer
