// The view's viewing commands: fit, 1:1, zoom steps, undo of the last view
// change, inversion and rotation, and their entries in the command table.
#include <QScrollBar>

#include "viewer/command_table.h"
#include "engine/transform.h"
#include "viewer/main_frame.h"
#include "viewer/user_prompt.h"
#include "viewer/view_commands.h"
#include "viewer/viewer_doc.h"
#include "viewer/viewer_view.h"

namespace hv::viewer {

using hv::engine::DisplayState;
using hv::engine::ScrollBar;

bool CViewerView::hasImage() const {
  ImageHdl h = doc_ ? doc_->image() : nullptr;
  return h != nullptr && h->current != nullptr && h->record != nullptr;
}

const std::uint8_t* CViewerView::scale() const {
  static const std::uint8_t none[4] = {0, 0, 0, 0};
  return hasImage() ? doc_->image()->current->scale : none;
}

int CViewerView::rotation() const { return hasImage() ? doc_->image()->current->rotation : 0; }

// The display record keeps the scroll position the user reached, so that a
// restored record shows the same part.
void CViewerView::keepPreviousView() {
  DisplayState& s = *doc_->image()->current;
  s.displayX = horizontalScrollBar()->value();
  s.displayY = verticalScrollBar()->value();
  previous_ = s;
  hasPrevious_ = true;
}

void CViewerView::viewChanged() {
  ImageHdl h = doc_->image();
  (void)grxUpdateScrolling(this, h, 1);
  viewport()->update();
}

void CViewerView::fitInWindow() {
  if (!hasImage()) return;
  keepPreviousView();
  if (grxFitToWindow(this, doc_->image(), nullptr)) {
    fitMode_ = true;
    state_[ViewState::InitialView] = 0;
  }
  viewChanged();
}

void CViewerView::actualSize() {
  if (!hasImage()) return;
  keepPreviousView();
  fitMode_ = false;
  state_[ViewState::InitialView] = 1;
  grxSetOneToOne(this, doc_->image());
  viewport()->update();
}

bool CViewerView::canZoomIn() const {
  if (!hasImage()) return false;
  std::uint8_t s[4];
  std::copy_n(doc_->image()->current->scale, 4, s);
  return grxZoomIn(doc_->image(), s) == 1;
}

bool CViewerView::canZoomOut() const {
  if (!hasImage()) return false;
  std::uint8_t s[4];
  std::copy_n(doc_->image()->current->scale, 4, s);
  return grxZoomOut(doc_->image(), s) == 1;
}

namespace {

// Sets a new scale keeping the image point at the window's centre where it is.
void rescaleAroundCentre(CViewerView& view, ImageHdl h, const std::uint8_t scale[4]) {
  DisplayState& s = *h->current;
  std::int32_t cw, ch;
  view.clientSize(cw, ch);
  const std::int32_t sx = view.scrollPos(ScrollBar::kHorizontal), sy = view.scrollPos(ScrollBar::kVertical);
  // Device position in the whole scaled picture, scaled by the ratio of the
  // new scale to the old one (horizontal and vertical terms may differ; a
  // turned view exchanges them).
  const bool turned = s.rotation == 900 || s.rotation == 2700;
  const int hx = turned ? 2 : 0, hy = turned ? 0 : 2;
  auto ratio = [&](int i) { return (double(scale[i]) / scale[i + 1]) / (double(s.scale[i]) / s.scale[i + 1]); };
  const double cx = (sx + cw / 2.0) * ratio(hx), cy = (sy + ch / 2.0) * ratio(hy);
  std::copy_n(scale, 4, s.scale);
  s.displayX = std::max(0, int(std::lround(cx - cw / 2.0)));
  s.displayY = std::max(0, int(std::lround(cy - ch / 2.0)));
}

}  // namespace

void CViewerView::zoomIn() {
  if (!canZoomIn()) return;
  ImageHdl h = doc_->image();
  keepPreviousView();
  std::uint8_t s[4];
  std::copy_n(h->current->scale, 4, s);
  (void)grxZoomIn(h, s);
  fitMode_ = false;
  rescaleAroundCentre(*this, h, s);
  viewChanged();
}

void CViewerView::zoomOut() {
  if (!canZoomOut()) return;
  ImageHdl h = doc_->image();
  keepPreviousView();
  std::uint8_t s[4];
  std::copy_n(h->current->scale, 4, s);
  (void)grxZoomOut(h, s);
  fitMode_ = false;
  rescaleAroundCentre(*this, h, s);
  viewChanged();
}

void CViewerView::undoView() {
  if (!hasImage() || !hasPrevious_) return;
  ImageHdl h = doc_->image();
  DisplayState shown = *h->current;
  shown.displayX = horizontalScrollBar()->value();
  shown.displayY = verticalScrollBar()->value();
  *h->current = previous_;
  previous_ = shown;
  h->invert = h->current->invert;
  state_[ViewState::Invert] = h->invert ? 1 : 0;
  state_[ViewState::Rotation] = rotationIndex(h->current->rotation);
  // A restored record is a zoomed view unless it was the fitted one.
  fitMode_ = false;
  viewChanged();
}

void CViewerView::toggleInvert() {
  if (!hasImage()) return;
  ImageHdl h = doc_->image();
  state_[ViewState::Invert] = state_[ViewState::Invert] ? 0 : 1;
  h->invert = state_[ViewState::Invert];
  h->current->invert = h->invert;
  viewport()->update();
}

void CViewerView::setRotation(int tenths) {
  if (!hasImage()) return;
  ImageHdl h = doc_->image();
  keepPreviousView();
  state_[ViewState::Rotation] = rotationIndex(tenths);
  if (grxSetViewRotation(this, h, rotationTenths(state_[ViewState::Rotation])) < 0) return;
  // A fitted view stays fitted: the turned picture is fitted again.
  if (fitMode_) (void)grxFitToWindow(this, h, nullptr);
  viewChanged();
}

void CViewerView::rotateLeft() { setRotation(rotationTenths(state_[ViewState::Rotation] + 1)); }
void CViewerView::rotateRight() { setRotation(rotationTenths(state_[ViewState::Rotation] + 3)); }

bool CViewerView::mirrorImage() {
  if (!hasImage()) return false;
  if (doc_->CheckExternalModification(true)) return false;
  ImageHdl h = doc_->image();
  if (!grxUseImageMemory(h)) {
    showMessage("Unable to load image memory.", QMessageBox::Warning);
    return false;
  }
  const int status = grxMirrorImage(h);
  if (status == -8) {
    // Memory ran out part-way: mirroring the lines already done once more
    // would need the same memory, so the picture is read again from the file.
    showMessage("Unable to mirror the image.", QMessageBox::Warning);
    doc_->setModified(false);
    doc_->OnReload();
    return false;
  }
  if (status != 0) {
    showMessage("Unable to mirror the image.", QMessageBox::Warning);
    return false;
  }
  doc_->setModified(true);
  viewport()->update();
  emit imageChanged();
  return true;
}

// --- command table ---------------------------------------------------------

namespace {

CViewerView* view(CMainFrame& f) {
  CViewerView* v = f.activeView();
  return v && v->hasImage() ? v : nullptr;
}

void plug(CommandTable& t, const QString& id, std::function<void(CViewerView&)> run,
          std::function<bool(CViewerView&)> enabled = {}, std::function<bool(CViewerView&)> checked = {}) {
  CommandSpec s = t.registeredOr(id);
  s.run = [run](CMainFrame& f) {
    if (CViewerView* v = view(f)) run(*v);
  };
  s.enabled = [enabled](CMainFrame& f) {
    CViewerView* v = view(f);
    return v != nullptr && (!enabled || enabled(*v));
  };
  if (checked)
    s.checked = [checked](CMainFrame& f) {
      CViewerView* v = view(f);
      return v != nullptr && checked(*v);
    };
  t.add(s);
}

}  // namespace

void addViewCommands(CommandTable& t) {
  plug(t, "view.fit", [](CViewerView& v) { v.fitInWindow(); });
  t.add(command("view.actualSize", "&Actual Size", "Modify current image view to scale at 1:1"));
  plug(t, "view.actualSize", [](CViewerView& v) { v.actualSize(); });
  plug(t, "view.zoomIn", [](CViewerView& v) { v.zoomIn(); }, [](CViewerView& v) { return v.canZoomIn(); });
  plug(t, "view.zoomOut", [](CViewerView& v) { v.zoomOut(); }, [](CViewerView& v) { return v.canZoomOut(); });
  plug(t, "view.undo", [](CViewerView& v) { v.undoView(); }, [](CViewerView& v) { return v.hasPreviousView(); });
  plug(t, "view.invert", [](CViewerView& v) { v.toggleInvert(); }, {},
       [](CViewerView& v) { return v.viewState()[ViewState::Invert] != 0; });
  plug(t, "view.rotateLeft", [](CViewerView& v) { v.rotateLeft(); });
  plug(t, "view.rotateRight", [](CViewerView& v) { v.rotateRight(); });
  t.add(command("view.mirror", "&Mirror Image", "Mirror image data"));
  plug(t, "view.mirror", [](CViewerView& v) { (void)v.mirrorImage(); });
  for (int tenths : {0, 900, 1800, 2700}) {
    const QString id = QString("view.rotate%1").arg(tenths / 10);
    t.add(command(id, QString("%1 &Degrees").arg(tenths / 10),
                  QString("Rotate image view to %1 degree orientation").arg(tenths / 10)));
    plug(t, id, [tenths](CViewerView& v) { v.setRotation(tenths); }, {},
         [tenths](CViewerView& v) { return v.rotation() == tenths; });
  }
}

}  // namespace hv::viewer
