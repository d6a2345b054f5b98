#include "viewer/overview_window.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <cmath>

#include "engine/display.h"
#include "engine/display_math.h"
#include "engine/display_surface.h"
#include "engine/print_layout.h"
#include "viewer/bit_expansion.h"
#include "viewer/command_table.h"
#include "viewer/main_frame.h"
#include "viewer/viewer_doc.h"
#include "viewer/viewer_view.h"

namespace hv::viewer {

namespace {

constexpr int kMinimumBox = 24;

ImageHdl imageOf(const CViewerView* view) {
  return view != nullptr && view->hasImage() ? view->GetDocument()->image() : nullptr;
}

// The whole image's size at the view's scale and rotation, in view pixels.
QSize displayedSize(ImageHdl h) {
  const hv::engine::DisplayState& s = *h->current;
  int w = int(hv::engine::toDisplay(h->record->width, s.scale[0], s.scale[1]));
  int ht = int(hv::engine::toDisplay(h->record->height, s.scale[2], s.scale[3]));
  if (hv::engine::swapsAxes(s.rotation)) std::swap(w, ht);
  return {w, ht};
}

}  // namespace

CPanOverViewWnd::CPanOverViewWnd(CMainFrame& frame) : QWidget(&frame, Qt::Tool), frame_(frame) {
  setObjectName("Overview");
  setWindowTitle("Overview");
  setAttribute(Qt::WA_OpaquePaintEvent);
  syncTimer_.setSingleShot(true);
  syncTimer_.setInterval(0);
  connect(&syncTimer_, &QTimer::timeout, this, &CPanOverViewWnd::sync);
  // A resize by the user is followed, once it has settled, by the window
  // taking the picture's proportions.
  snapTimer_.setSingleShot(true);
  snapTimer_.setInterval(200);
  connect(&snapTimer_, &QTimer::timeout, this, &CPanOverViewWnd::sync);
  if (auto* mdi = frame.findChild<QMdiArea*>())
    connect(mdi, &QMdiArea::subWindowActivated, this, [this] { setView(frame_.activeView()); });
  setView(frame.activeView());
}

CPanOverViewWnd::~CPanOverViewWnd() { setView(nullptr); }

CPanOverViewWnd* CPanOverViewWnd::of(CMainFrame& frame, bool create) {
  auto* w = frame.findChild<CPanOverViewWnd*>(QString(), Qt::FindDirectChildrenOnly);
  if (w == nullptr && create) w = new CPanOverViewWnd(frame);
  return w;
}

void CPanOverViewWnd::setView(CViewerView* view) {
  if (view == view_) return;
  if (view_) {
    view_->viewport()->removeEventFilter(this);
    view_->removeEventFilter(this);
    disconnect(view_, nullptr, this, nullptr);
  }
  view_ = view;
  if (view_) {
    // Every change of what the view shows ends in a repaint of its viewport
    // (scrolling, zoom, rotation, polarity) or a new size.
    view_->viewport()->installEventFilter(this);
    view_->installEventFilter(this);
    connect(view_, &CViewerView::imageChanged, this, [this] {
      ++generation_;
      scheduleSync();
    });
  }
  scheduleSync();
}

void CPanOverViewWnd::toggle() {
  if (isVisible()) {
    hide();
    return;
  }
  placeFirstTime();
  show();
  raise();
}

void CPanOverViewWnd::placeFirstTime() {
  if (placed_) return;
  placed_ = true;
  // Top right of the frame's client area, a third of its width and height,
  // 16 pixels below its top.
  QWidget* area = frame_.findChild<QMdiArea*>();
  if (area == nullptr) area = &frame_;
  const QRect client(area->mapToGlobal(QPoint(0, 0)), area->size());
  box_ = QSize(std::max(kMinimumBox, client.width() / 3), std::max(kMinimumBox, client.height() / 3));
  requested_ = box_;
  resize(box_);
  sync();
  move(client.right() + 1 - width(), client.top() + 16);
}

CPanOverViewWnd::PictureKey CPanOverViewWnd::currentKey() const {
  PictureKey key;
  ImageHdl h = imageOf(view_);
  if (h == nullptr) return key;
  key.image = h;
  key.rotation = h->current->rotation;
  key.invert = h->invert;
  key.box = box_;
  key.generation = generation_;
  return key;
}

void CPanOverViewWnd::sync() {
  const PictureKey key = currentKey();
  if (!(key == drawn_)) {
    renderPicture(key);
    drawn_ = key;
    fitWindowToPicture();
  }
  update();
}

void CPanOverViewWnd::renderPicture(const PictureKey& key) {
  picture_ = screenPicture_ = QImage();
  ImageHdl h = imageOf(view_);
  if (h == nullptr || key.image == nullptr) return;
  // The page layout's fit is the engine's fit arithmetic with whole
  // reductions beyond the fine steps, so any sheet fits the window.
  hv::engine::PrintLayout layout;
  const hv::engine::PrintPage room{std::max(1, key.box.width() - 1), std::max(1, key.box.height() - 1)};
  const hv::engine::PrintSource source{h->record->width, h->record->height, {0, 0, 0, 0}, key.rotation};
  if (hv::engine::layoutPrintPage(room, source, hv::engine::PrintOptions{false, 0}, layout) != hv::Status::Ok) return;
  const int w = layout.picture.right - layout.picture.left, ht = layout.picture.bottom - layout.picture.top;
  QImage picture(w, ht, QImage::Format_Mono);
  if (picture.isNull()) return;
  picture.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
  picture.fill(0);
  // The engine's bands (1 = black, most significant bit leftmost) are
  // copied straight into the picture's rows.
  hv::engine::PackedSurface surface{0, 0, w, ht, std::uint32_t(picture.bytesPerLine()), picture.bits()};
  GrxDevice device;
  device.user = &surface;
  device.blit = [](void* user, const GrxBand& band) {
    hv::engine::blitToSurface(*static_cast<hv::engine::PackedSurface*>(user), band);
  };
  GrxBlitTarget target{&device, nullptr};
  const GrxRect display{0, 0, w, ht};
  // A decoding error part-way leaves what was drawn, as the view does.
  (void)grxRenderRect(&target, &display, h, &layout.image, layout.scale, layout.rotation, GRX_LINES_AUTOMATIC,
                      nullptr);
  picture_ = std::move(picture);
  // Expanded once here rather than by Qt at every paint, as the view
  // expands its bands.
  screenPicture_ = expandedPicture(picture_);
  ++renders_;
}

void CPanOverViewWnd::fitWindowToPicture() {
  if (picture_.isNull()) return;
  const QSize want = picture_.size() + QSize(1, 1);
  if (want == size()) return;
  requested_ = want;
  resize(want);
}

QRect CPanOverViewWnd::markRect() const {
  ImageHdl h = imageOf(view_);
  if (h == nullptr || picture_.isNull()) return {};
  const QSize whole = displayedSize(h);
  if (whole.isEmpty()) return {};
  const double fx = double(picture_.width()) / whole.width(), fy = double(picture_.height()) / whole.height();
  const int sx = view_->horizontalScrollBar()->value(), sy = view_->verticalScrollBar()->value();
  const QSize client = view_->viewport()->size();
  auto span = [](int from, int length, int total, double f, int limit, int& a, int& b) {
    a = std::clamp(int(std::floor(std::clamp(from, 0, total) * f)), 0, limit);
    b = std::clamp(int(std::ceil(std::clamp(from + length, 0, total) * f)), a, limit);
  };
  int x0, x1, y0, y1;
  span(sx, client.width(), whole.width(), fx, picture_.width(), x0, x1);
  span(sy, client.height(), whole.height(), fy, picture_.height(), y0, y1);
  return QRect(x0, y0, x1 - x0, y1 - y0);
}

void CPanOverViewWnd::panTo(QPointF markTopLeft) {
  ImageHdl h = imageOf(view_);
  if (h == nullptr || picture_.isNull()) return;
  const QSize whole = displayedSize(h);
  view_->horizontalScrollBar()->setValue(int(std::lround(markTopLeft.x() * whole.width() / picture_.width())));
  view_->verticalScrollBar()->setValue(int(std::lround(markTopLeft.y() * whole.height() / picture_.height())));
  update();
}

void CPanOverViewWnd::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  if (picture_.isNull()) return;
  painter.drawImage(QPoint(0, 0), screenPicture_);
  const QRect mark = markRect();
  if (mark.isNull()) return;
  // An inverting frame two pixels wide stays visible on lines and on paper.
  painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter.setPen(QPen(Qt::white, 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(mark);
  if (mark.width() > 2 && mark.height() > 2) painter.drawRect(mark.adjusted(1, 1, -1, -1));
}

void CPanOverViewWnd::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (size() == requested_) return;
  box_ = size().expandedTo(QSize(kMinimumBox, kMinimumBox));
  requested_ = QSize();
  snapTimer_.start();
}

void CPanOverViewWnd::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  sync();
  refreshCheckMark();
}

void CPanOverViewWnd::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  // A hidden overview keeps no picture; showing it draws it again.
  picture_ = screenPicture_ = QImage();
  drawn_ = PictureKey{};
  panning_ = false;
  refreshCheckMark();
}

void CPanOverViewWnd::mousePressEvent(QMouseEvent* event) {
  const QRect mark = markRect();
  if (event->button() != Qt::LeftButton || mark.isNull()) {
    QWidget::mousePressEvent(event);
    return;
  }
  const QPointF p = event->position();
  // Taking the mark keeps the point under the mouse; a click beside it
  // brings the mark's centre there.
  if (mark.adjusted(0, 0, 1, 1).contains(p.toPoint())) {
    grab_ = p - QPointF(mark.topLeft());
  } else {
    grab_ = QPointF(mark.width() / 2.0, mark.height() / 2.0);
    panTo(p - grab_);
  }
  panning_ = true;
  setCursor(Qt::ClosedHandCursor);
  event->accept();
}

void CPanOverViewWnd::mouseMoveEvent(QMouseEvent* event) {
  if (!panning_) {
    QWidget::mouseMoveEvent(event);
    return;
  }
  panTo(event->position() - grab_);
  event->accept();
}

void CPanOverViewWnd::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !panning_) {
    QWidget::mouseReleaseEvent(event);
    return;
  }
  panTo(event->position() - grab_);
  panning_ = false;
  unsetCursor();
  event->accept();
}

bool CPanOverViewWnd::eventFilter(QObject* watched, QEvent* event) {
  if (view_ && ((watched == view_->viewport() && event->type() == QEvent::Paint) ||
                (watched == view_.data() && event->type() == QEvent::Resize)))
    scheduleSync();
  return QWidget::eventFilter(watched, event);
}

// Queued: the frame may be on its way out when its windows are hidden.
void CPanOverViewWnd::refreshCheckMark() {
  QMetaObject::invokeMethod(&frame_, [f = &frame_] { f->refreshTools(); }, Qt::QueuedConnection);
}

void CPanOverViewWnd::scheduleSync() {
  if (isVisible() && !syncTimer_.isActive()) syncTimer_.start();
}

void addOverviewCommands(CommandTable& t) {
  CommandSpec s = t.registeredOr(
      command("view.overview", "&Overview", "Turn on or off overview image feature\nToggle Overview"));
  s.run = [](CMainFrame& f) { CPanOverViewWnd::of(f, true)->toggle(); };
  // Turning it off stays possible without an image.
  s.enabled = [](CMainFrame& f) {
    CPanOverViewWnd* w = CPanOverViewWnd::of(f, false);
    return (w != nullptr && w->isVisible()) || imageOf(f.activeView()) != nullptr;
  };
  s.checked = [](CMainFrame& f) {
    CPanOverViewWnd* w = CPanOverViewWnd::of(f, false);
    return w != nullptr && w->isVisible();
  };
  t.add(s);
}

}  // namespace hv::viewer
