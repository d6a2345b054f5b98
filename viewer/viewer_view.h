#pragma once
// The view of one document: draws the image through the engine's display
// calls, repaints only what is exposed, scrolls with its scroll bars and keys.
#include <QAbstractScrollArea>
#include <QCursor>
#include <QImage>
#include <QRect>
#include <QString>
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

  // View commands (view_commands.cpp). Each needs an image; those that
  // change the view keep the view before them for undoView.
  bool hasImage() const;
  void fitInWindow();
  void actualSize();
  bool canZoomIn() const;
  bool canZoomOut() const;
  void zoomIn();
  void zoomOut();
  bool hasPreviousView() const { return hasPrevious_; }
  void undoView();
  void toggleInvert();
  void rotateLeft();
  void rotateRight();
  void setRotation(int tenths);
  int rotation() const;  // tenths of a degree shown
  // Mirrors the image data left to right (after the external-change check);
  // the document becomes modified. False when nothing changed.
  bool mirrorImage();
  // Fits the image part under a window rectangle into the window.
  bool zoomToRect(const QRect& windowRect);
  // The engine scale of the view (horizontal d, n, vertical d, n).
  const std::uint8_t* scale() const;

  // Rubber-band selection (view_mouse.cpp), in window coordinates.
  QRect selection() const { return selection_; }
  bool dragging() const { return dragging_; }
  // The image pixels under a window rectangle (empty when it maps to none).
  QRect imageRectOf(const QRect& windowRect) const;

  // Printing (print_commands.cpp): the whole image (mode 1) or the part the
  // view shows (mode 0), on the viewer's printer; the dialog is skipped for
  // an unattended print. True when the page went to the printer.
  bool printImage(int mode, bool unattended);
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

 signals:
  // A new image is shown, the view was cleared, or the image's pixels changed.
  void imageChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  static void blitBand(void* user, const GrxBand& band);
  void applyState();
  QScrollBar* bar(hv::engine::ScrollBar which) const;
  void keepPreviousView();
  void viewChanged();
  void drawBand(const QRect& r);
  void showSelectionSize(const QRect& r);

  CViewerDoc* doc_;
  ViewState state_;
  QPainter* painter_ = nullptr;
  GrxDevice device_{};
  QImage expanded_;  // band rows in 32-bit pixels, reused
  int lastStatus_ = 0;
  bool applied_ = false;
  bool fitMode_ = false;
  hv::engine::DisplayState previous_{};
  bool hasPrevious_ = false;
  QPoint bandStart_, bandNow_;
  bool dragging_ = false;
  QCursor cursorBefore_;
  QRect selection_;
  QRect stampRect_;  // where the last paint wrote the stamp
  int printMode_ = 1;
  bool unattended_ = false;
};

// The size of a selection as the status bar shows it: width and height in
// inches (image pixels over dots per inch), hundredths truncated, e.g.
// (8.50"W X 11.00"H).
QString selectionSizeText(int widthPixels, int heightPixels, unsigned xDpi, unsigned yDpi);

}  // namespace hv::viewer
