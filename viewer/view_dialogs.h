#pragma once
// The view's dialogs: Zoom Options and Image Information.
#include <QDialog>
#include <QString>

class QRadioButton;
class QPlainTextEdit;

namespace hv::viewer {

class CViewerView;

// Chooses the zoom step: 0 fine, 1 medium, 2 coarse.
class CZoomOptionsDialog : public QDialog {
  Q_OBJECT
 public:
  explicit CZoomOptionsDialog(int step, QWidget* parent = nullptr);
  int step() const;

 private:
  QRadioButton* choices_[3];
};

// The text of the Image Information dialog for a view (empty without image).
QString imageInformationText(const CViewerView* view);

// "Image Information": the view's display values, and "File &Details" for the
// format's own information dialog.
class CImageInfoDialog : public QDialog {
  Q_OBJECT
 public:
  explicit CImageInfoDialog(CViewerView* view, QWidget* parent = nullptr);
  QString text() const;
  // What "File &Details" does: the format's information dialog over this one.
  void showFileDetails();

 private:
  CViewerView* view_;
  QPlainTextEdit* box_;
};

void addViewDialogCommands(class CommandTable& table);

}  // namespace hv::viewer
