#include "viewer/child_frame.h"

#include <QCloseEvent>
#include <QTimer>

#include "viewer/view_state.h"
#include "viewer/viewer_doc.h"
#include "viewer/viewer_view.h"

namespace hv::viewer {

CChildFrame::CChildFrame(std::unique_ptr<CViewerDoc> doc, const ViewState& state) : doc_(std::move(doc)) {
  setAttribute(Qt::WA_DeleteOnClose);
  view_ = new CViewerView(doc_.get(), state, this);
  setWidget(view_);
  connect(doc_.get(), &CViewerDoc::titleChanged, this, [this](const QString& t) { setWindowTitle(t); });
  connect(doc_.get(), &CViewerDoc::closeRequested, this, [this] { QTimer::singleShot(0, this, &QWidget::close); });
}

CChildFrame::~CChildFrame() {
  destroying_ = true;
  delete view_;
  view_ = nullptr;
}

void CChildFrame::closeEvent(QCloseEvent* event) {
  if (!closing_) {
    closing_ = true;
    doc_->OnCloseDocument();
  }
  QMdiSubWindow::closeEvent(event);
}

}  // namespace hv::viewer
