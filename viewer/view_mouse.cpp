// The rubber band: a left-button drag selects a rectangle and shows its size
// in inches in the status bar; the right button (or the left one with the
// `LeftButtonZooms` setting) zooms to the selection.
#include <QCursor>
#include <QMouseEvent>
#include <QScrollBar>

#include "viewer/main_frame.h"
#include "viewer/viewer_app.h"
#include "viewer/viewer_doc.h"
#include "viewer/viewer_view.h"

namespace hv::viewer {

QString selectionSizeText(int widthPixels, int heightPixels, unsigned xDpi, unsigned yDpi) {
  // Whole inches and truncated hundredths, in integers so that 850 / 100
  // gives exactly 8.50.
  auto part = [](int pixels, unsigned dpi, int& whole, int& hundredths) {
    const long long p = std::max(0, pixels), d = dpi ? dpi : 1;
    whole = int(p / d);
    hundredths = int((p * 100 / d) % 100);
  };
  int ww, wh, hw, hh;
  part(widthPixels, xDpi, ww, wh);
  part(heightPixels, yDpi, hw, hh);
  return QString::asprintf("(%d.%02d\"W X %d.%02d\"H)", ww, wh, hw, hh);
}

QRect CViewerView::imageRectOf(const QRect& windowRect) const {
  if (!hasImage() || windowRect.isEmpty()) return {};
  ImageHdl h = doc_->image();
  const hv::engine::DisplayState& s = *h->current;
  GrxRect display{windowRect.left(), windowRect.top(), windowRect.right() + 1, windowRect.bottom() + 1};
  GrxRect image{};
  if (!grxMapDisplayRect(&image, &display, s.scale, h->record->width, h->record->height,
                         horizontalScrollBar()->value(), verticalScrollBar()->value(), s.rotation))
    return {};
  return QRect(QPoint(image.left, image.top), QPoint(image.right - 1, image.bottom - 1));
}

void CViewerView::showSelectionSize(const QRect& r) {
  CViewerApp* app = CViewerApp::instance();
  if (app == nullptr || app->mainFrame() == nullptr || !hasImage()) return;
  const QRect image = imageRectOf(r);
  const auto* rec = doc_->image()->record;
  app->mainFrame()->setStatusText(selectionSizeText(image.width(), image.height(), rec->xResolution, rec->yResolution),
                                  false);
}

// The band is painted over the picture by paintEvent; only the strip of its
// outline needs repainting when it moves.
void CViewerView::drawBand(const QRect& r) {
  if (r.isNull()) return;
  QRegion outline = QRegion(r.adjusted(-2, -2, 2, 2)) - QRegion(r.adjusted(2, 2, -2, -2));
  viewport()->update(outline);
}

void CViewerView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !hasImage()) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  // The widget under a pressed button keeps receiving the mouse until the
  // release (Qt's implicit grab); the selection cursor shows meanwhile.
  cursorBefore_ = viewport()->cursor();
  viewport()->setCursor(Qt::CrossCursor);
  drawBand(selection_);
  selection_ = {};
  bandStart_ = bandNow_ = event->position().toPoint();
  dragging_ = true;
  event->accept();
}

void CViewerView::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) {
    QAbstractScrollArea::mouseMoveEvent(event);
    return;
  }
  const QPoint p = event->position().toPoint();
  if (viewport()->rect().contains(p)) {
    drawBand(QRect(bandStart_, bandNow_).normalized());
    bandNow_ = p;
    const QRect band = QRect(bandStart_, bandNow_).normalized();
    drawBand(band);
    showSelectionSize(band);
  }
  event->accept();
}

void CViewerView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && dragging_) {
    dragging_ = false;
    const QRect band = QRect(bandStart_, bandNow_).normalized();
    drawBand(band);
    selection_ = band.width() > 1 && band.height() > 1 ? band : QRect();
    drawBand(selection_);
    viewport()->setCursor(cursorBefore_);
    CViewerApp* app = CViewerApp::instance();
    if (app != nullptr && app->values().leftButtonZooms && !selection_.isNull()) {
      (void)zoomToRect(selection_);
    }
    event->accept();
    return;
  }
  if (event->button() == Qt::RightButton && !selection_.isNull()) {
    (void)zoomToRect(selection_);
    event->accept();
    return;
  }
  QAbstractScrollArea::mouseReleaseEvent(event);
}

bool CViewerView::zoomToRect(const QRect& windowRect) {
  if (!hasImage() || windowRect.isEmpty()) return false;
  keepPreviousView();
  GrxRect r{windowRect.left(), windowRect.top(), windowRect.right() + 1, windowRect.bottom() + 1};
  // The engine maps the rectangle at the view's scroll position.
  doc_->image()->current->displayX = horizontalScrollBar()->value();
  doc_->image()->current->displayY = verticalScrollBar()->value();
  const bool done = grxZoomToRect(this, doc_->image(), &r) >= 0;
  if (done) fitMode_ = false;
  drawBand(selection_);
  selection_ = {};
  viewport()->update();
  if (CViewerApp* app = CViewerApp::instance(); app && app->mainFrame()) app->mainFrame()->refreshTools();
  return done;
}

}  // namespace hv::viewer
