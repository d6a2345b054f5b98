#include "viewer/view_dialogs.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "formats/file_manager.h"
#include "viewer/command_table.h"
#include "viewer/main_frame.h"
#include "viewer/viewer_doc.h"
#include "viewer/viewer_view.h"

namespace hv::viewer {

CZoomOptionsDialog::CZoomOptionsDialog(int step, QWidget* parent) : QDialog(parent) {
  setWindowTitle("Zoom Options");
  auto* layout = new QVBoxLayout(this);
  const char* const texts[3] = {"Fine Adjust (Approximately 10% Steps)", "Medium Adjust (Approximately 25% Steps)",
                                "Course Adjust (Approximately 50% Steps)"};
  for (int i = 0; i < 3; ++i) {
    choices_[i] = new QRadioButton(texts[i], this);
    layout->addWidget(choices_[i]);
  }
  choices_[std::clamp(step, 0, 2)]->setChecked(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

int CZoomOptionsDialog::step() const {
  for (int i = 0; i < 3; ++i)
    if (choices_[i]->isChecked()) return i;
  return 2;
}

QString imageInformationText(const CViewerView* view) {
  if (view == nullptr || !view->hasImage()) return {};
  ImageHdl h = view->GetDocument()->image();
  const hv::engine::DisplayState& s = *h->current;
  QString text;
  text += QString::asprintf("Name: \t%s\n", qPrintable(view->GetDocument()->pathName()));
  text += QString::asprintf("Image Extents: \t(%d,%d)\n", s.right - s.left, s.bottom - s.top);
  text += QString::asprintf("Image Offsets: \t(%d,%d)\n", s.left, s.top);
  // The record holds each scale as denominator, numerator.
  text += QString::asprintf("Scale Factor:  \t%d:%d\n", int(s.scale[1]), int(s.scale[0]));
  text += QString::asprintf("Rotation Angle: \t%d degrees\n", s.rotation / 10);
  text += QString::asprintf("View Offsets:  \t(%d,%d)\n", s.originX, s.originY);
  return text;
}

CImageInfoDialog::CImageInfoDialog(CViewerView* view, QWidget* parent) : QDialog(parent), view_(view) {
  setWindowTitle("Image Information");
  auto* layout = new QVBoxLayout(this);
  box_ = new QPlainTextEdit(this);
  box_->setReadOnly(true);
  box_->setTabStopDistance(110);
  box_->setPlainText(imageInformationText(view));
  layout->addWidget(box_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  QPushButton* details = buttons->addButton("File &Details", QDialogButtonBox::ActionRole);
  details->setObjectName("FileDetails");
  connect(details, &QPushButton::clicked, this, &CImageInfoDialog::showFileDetails);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  resize(420, 240);
}

QString CImageInfoDialog::text() const { return box_->toPlainText(); }

void CImageInfoDialog::showFileDetails() {
  if (view_ == nullptr || !view_->hasImage()) return;
  imfImageInfo(view_->GetDocument()->image()->record, this);
}

void addViewDialogCommands(CommandTable& t) {
  CommandSpec s = command("view.zoomOptions", "&Zoom Options...", "Modify zoom options");
  s.run = [](CMainFrame& f) {
    CViewerView* v = f.activeView();
    const int step = v ? v->viewState()[ViewState::ZoomStep] : f.viewState()[ViewState::ZoomStep];
    CZoomOptionsDialog dialog(step, &f);
    if (dialog.exec() != QDialog::Accepted) return;
    f.viewState()[ViewState::ZoomStep] = dialog.step();
    if (v) v->viewState()[ViewState::ZoomStep] = dialog.step();
  };
  t.add(s);

  s = command("view.imageInfo", "Image &Information...", "Show information about the active image");
  s.run = [](CMainFrame& f) {
    CImageInfoDialog dialog(f.activeView(), &f);
    dialog.exec();
  };
  s.enabled = [](CMainFrame& f) { return f.activeView() != nullptr; };
  t.add(s);
}

}  // namespace hv::viewer
