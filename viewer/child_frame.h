#pragma once
// The MDI child window of one document and its view.
#include <QMdiSubWindow>
#include <memory>

namespace hv::viewer {

class CViewerDoc;
class CViewerView;

class CChildFrame : public QMdiSubWindow {
  Q_OBJECT
 public:
  CChildFrame(std::unique_ptr<CViewerDoc> doc, const class ViewState& state);
  ~CChildFrame() override;
  CViewerDoc* document() const { return doc_.get(); }
  CViewerView* view() const { return view_; }
  bool isClosing() const { return closing_; }
  // Set while the window is being destroyed: it is then nobody's active child.
  bool isDestroying() const { return destroying_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  std::unique_ptr<CViewerDoc> doc_;
  CViewerView* view_;
  bool closing_ = false;
  bool destroying_ = false;
};

}  // namespace hv::viewer
