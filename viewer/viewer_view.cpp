#include "viewer/viewer_view.h"

#include <algorithm>
#include <cstring>

#include <QKeyEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <QStyle>
#include <cstring>

#include "engine/print_layout.h"
#include "viewer/bit_expansion.h"
#include "viewer/viewer_doc.h"

namespace hv::viewer {

using hv::engine::ScrollBar;

CViewerView::CViewerView(CViewerDoc* doc, const ViewState& initial, QWidget* parent)
    : QAbstractScrollArea(parent), doc_(doc), state_(initial) {
  device_.blit = &CViewerView::blitBand;
  device_.user = this;
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setAutoFillBackground(false);
  setFocusPolicy(Qt::StrongFocus);
  horizontalScrollBar()->setSingleStep(16);
  verticalScrollBar()->setSingleStep(16);
  if (doc_) doc_->addView(this);
}

CViewerView::~CViewerView() {
  if (doc_) doc_->removeView(this);
}

QScrollBar* CViewerView::bar(ScrollBar which) const {
  return which == ScrollBar::kHorizontal ? horizontalScrollBar() : verticalScrollBar();
}

void CViewerView::clientSize(std::int32_t& width, std::int32_t& height) const {
  width = viewport()->width();
  height = viewport()->height();
}

std::int32_t CViewerView::scrollBarThickness(ScrollBar) const {
  return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

std::int32_t CViewerView::scrollRange(ScrollBar which) const { return bar(which)->maximum(); }

void CViewerView::setScrollRange(ScrollBar which, std::int32_t max) {
  QScrollBar* b = bar(which);
  b->setRange(0, std::max(0, max));
  b->setPageStep(std::max(1, which == ScrollBar::kHorizontal ? viewport()->width() : viewport()->height()));
}

std::int32_t CViewerView::scrollPos(ScrollBar which) const { return bar(which)->value(); }
void CViewerView::setScrollPos(ScrollBar which, std::int32_t pos) { bar(which)->setValue(pos); }
void CViewerView::invalidate() { viewport()->update(); }
GrxDevice* CViewerView::acquireDevice() { return painter_ ? &device_ : nullptr; }
void CViewerView::releaseDevice(GrxDevice*) {}

namespace {

// Rows of a band expanded at a time: small enough that the expansion buffer
// stays far below a band's own size in 32-bit pixels.
constexpr int kExpandRows = 16;

}  // namespace

void CViewerView::blitBand(void* user, const GrxBand& band) {
  auto* self = static_cast<CViewerView*>(user);
  if (self->painter_ == nullptr || band.width <= 0 || band.height <= 0) return;
  // The bands are expanded to 32-bit pixels here, a few rows at a time, in
  // one reused buffer: the screen's surface is 32-bit, and Qt would
  // otherwise convert every whole band through its thread pool into a fresh
  // image of four bytes a pixel.
  QImage& rows = self->expanded_;
  if (rows.width() < band.width) rows = QImage(band.width, kExpandRows, QImage::Format_RGB32);
  for (int top = 0; top < band.height; top += kExpandRows) {
    const int n = std::min(kExpandRows, band.height - top);
    expandBitRows(band.bits + std::size_t(top) * band.rowBytes, band.rowBytes, int(band.skip), band.width, n, rows);
    self->painter_->drawImage(QPoint(band.left, band.top + top), rows, QRect(0, 0, band.width, n));
  }
}

void CViewerView::applyState() {
  ImageHdl h = doc_ ? doc_->image() : nullptr;
  if (h == nullptr) return;
  h->invert = state_[ViewState::Invert] ? 1 : 0;
  h->current->invert = h->invert;
  // The preview bitmap keeps a copy of the first frame for repaints; it is
  // made only when the user asked for it.
  h->previewRequest = state_[ViewState::Preview] ? 1 : 0;
  h->current->rotation = rotationTenths(state_[ViewState::Rotation]);
  fitMode_ = state_[ViewState::InitialView] != 1;
  // A new image starts without a view to go back to, and unselected.
  hasPrevious_ = false;
  dragging_ = false;
  selection_ = {};
  if (!fitMode_) {
    grxSetOneToOne(this, h);
  } else if (!grxFitToWindow(this, h, nullptr)) {
    return;
  }
  (void)grxUpdateScrolling(this, h, 1);
  applied_ = true;
  viewport()->update();
  emit imageChanged();
}

void CViewerView::OnUpdate(int hint) {
  if (hint == HintNothingToShow) {
    applied_ = false;
    horizontalScrollBar()->setRange(0, 0);
    verticalScrollBar()->setRange(0, 0);
    viewport()->update();
    emit imageChanged();
    return;
  }
  applyState();
}

void CViewerView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  ImageHdl h = doc_ ? doc_->image() : nullptr;
  if (h != nullptr && !applied_) applyState();
  painter.fillRect(event->rect(), Qt::white);
  if (h == nullptr || !applied_) return;
  // Bands are opaque: they replace what is under them, nothing to blend.
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter_ = &painter;
  for (const QRect& r : event->region()) {
    GrxRect rect{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
    lastStatus_ = grxDisplayImage(this, &device_, &rect, h);
  }
  painter_ = nullptr;
  // The print stamp, as it will be printed, at the view's top-left corner.
  const QString stamp = doc_->GetPrintStamp();
  stampRect_ = {};
  if (!stamp.isEmpty()) {
    QFont font(hv::engine::kStampFontFamily);
    font.setPixelSize(hv::engine::kStampScreenHeight);
    font.setWeight(QFont::Weight(hv::engine::kStampFontWeight));
    font.setStyleHint(QFont::Serif);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetrics metrics(font);
    painter.drawText(QPoint(0, metrics.ascent()), stamp);
    stampRect_ = QRect(0, 0, metrics.horizontalAdvance(stamp) + 2, metrics.height() + 1);
  }
  // The rubber band while dragging (dashed) and the finished selection (solid).
  const QRect band = dragging_ ? QRect(bandStart_, bandNow_).normalized() : selection_;
  if (!band.isNull()) {
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(QPen(Qt::white, 1, dragging_ ? Qt::DashLine : Qt::SolidLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(band);
  }
}

void CViewerView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  ImageHdl h = doc_ ? doc_->image() : nullptr;
  if (h == nullptr || !applied_) return;
  if (fitMode_ && grxFitToWindow(this, h, nullptr)) viewport()->update();
  (void)grxUpdateScrolling(this, h, 1);
}

// The pixels already shown move with the picture and only the strip that
// comes into view is drawn. The stamp and the selection keep their place in
// the window, so their places before and after the move are drawn again.
void CViewerView::scrollContentsBy(int dx, int dy) {
  QWidget* port = viewport();
  port->scroll(dx, dy);
  if (!stampRect_.isNull()) port->update(QRegion(stampRect_) + QRegion(stampRect_.translated(dx, dy)));
  const QRect band = dragging_ ? QRect(bandStart_, bandNow_).normalized() : selection_;
  if (!band.isNull()) {
    drawBand(band);
    drawBand(band.translated(dx, dy));
  }
}

void CViewerView::keyPressEvent(QKeyEvent* event) {
  const bool control = event->modifiers() & Qt::ControlModifier;
  QScrollBar* h = horizontalScrollBar();
  QScrollBar* v = verticalScrollBar();
  switch (event->key()) {
    case Qt::Key_Left: h->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
    case Qt::Key_Right: h->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
    case Qt::Key_Up: v->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
    case Qt::Key_Down: v->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
    case Qt::Key_PageUp:
      (control ? v : h)->triggerAction(control ? QAbstractSlider::SliderPageStepSub : QAbstractSlider::SliderPageStepAdd);
      break;
    case Qt::Key_PageDown:
      (control ? v : h)->triggerAction(control ? QAbstractSlider::SliderPageStepAdd : QAbstractSlider::SliderPageStepSub);
      break;
    case Qt::Key_Home: (control ? v : h)->triggerAction(QAbstractSlider::SliderToMinimum); break;
    case Qt::Key_End: (control ? v : h)->triggerAction(QAbstractSlider::SliderToMaximum); break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
  }
  event->accept();
}

}  // namespace hv::viewer
