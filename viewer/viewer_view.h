#pragma once
// The view of one document: draws the image through the engine's display
// calls, repaints only what is exposed, scrolls with its scroll bars and keys.
#include <QAbstractScrollArea>
#include <QVector>
#include <QRgb>

#include "engine/display.h"
#include "viewer/view_state.h"

class QPainter;

namespace hv::viewer {

class CViewerDoc;

class CViewerView : public QAbstractScrollArea, public hv::engine::DisplayWindow {
  Q_OBJECT
 public:
  explicit CViewerView(CViewerDoc* doc, const ViewState& initial, QWidget* parent = nullptr);
  ~CViewerView() override;

  CViewerDoc* GetDocument() const { return doc_; }
  const ViewState& viewState() const { return state_; }
  ViewState& viewState() { return state_; }

  // Applies the view state to a new image (hint 1), clears (hint 2).
  void OnUpdate(int hint);
  // Prints the whole image without a dialog (the unattended print cycle).
  void PrintUnattended();
  // The engine's status of the last paint (0 when it drew).
  int lastPaintStatus() const { return lastStatus_; }
  // While the view shows the image fitted, a new window size fits it again;
  // zoom commands end the fitted mode.
  bool fitMode() const { return fitMode_; }
  void setFitMode(bool on) { fitMode_ = on; }

  // DisplayWindow
  void clientSize(std::int32_t& width, std::int32_t& height) const override;
  std::int32_t scrollBarThickness(hv::engine::ScrollBar bar) const override;
  std::int32_t scrollRange(hv::engine::ScrollBar bar) const override;
  void setScrollRange(hv::engine::ScrollBar bar, std::int32_t max) override;
  std::int32_t scrollPos(hv::engine::ScrollBar bar) const override;
  void setScrollPos(hv::engine::ScrollBar bar, std::int32_t pos) override;
  void invalidate() override;
  GrxDevice* acquireDevice() override;
  void releaseDevice(GrxDevice* device) override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  static void blitBand(void* user, const GrxBand& band);
  void applyState();
  QScrollBar* bar(hv::engine::ScrollBar which) const;

  CViewerDoc* doc_;
  ViewState state_;
  QPainter* painter_ = nullptr;
  GrxDevice device_{};
  QVector<QRgb> colours_;
  int lastStatus_ = 0;
  bool applied_ = false;
  bool fitMode_ = false;
};

}  // namespace hv::viewer
