#pragma once
// The overview: a small tool window over the main frame that shows the whole
// image of the active view fitted, with the part the view shows marked.
// Dragging the mark pans the view; a click elsewhere centres the view there.
#include <QImage>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QWidget>

namespace hv::viewer {

class CMainFrame;
class CommandTable;
class CViewerView;

class CPanOverViewWnd : public QWidget {
  Q_OBJECT
 public:
  explicit CPanOverViewWnd(CMainFrame& frame);
  ~CPanOverViewWnd() override;

  // The frame's overview window; made on first use when `create` is set.
  static CPanOverViewWnd* of(CMainFrame& frame, bool create);

  // Shows the window (placed at the top right of the frame's client area the
  // first time) or hides it.
  void toggle();
  // The view followed (none when no image is active).
  CViewerView* view() const { return view_; }
  void setView(CViewerView* view);

  // Brings the picture and the mark up to date with the view now: the picture
  // is drawn again only when the image, its rotation or polarity, or the
  // window's size changed.
  void sync();
  // The fitted picture (empty without an image) and the mark, in window pixels.
  const QImage& picture() const { return picture_; }
  QRect markRect() const;
  // How many times the picture was drawn (the cost that caching avoids).
  int renderCount() const { return renders_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // What the picture was drawn from; a different key draws it again.
  struct PictureKey {
    const void* image = nullptr;
    int rotation = 0, invert = 0;
    QSize box;
    int generation = 0;
    bool operator==(const PictureKey&) const = default;
  };
  PictureKey currentKey() const;
  void renderPicture(const PictureKey& key);
  void fitWindowToPicture();
  void placeFirstTime();
  void scheduleSync();
  void refreshCheckMark();
  void panTo(QPointF markTopLeft);

  CMainFrame& frame_;
  QPointer<CViewerView> view_;
  QImage picture_;
  QImage screenPicture_;  // picture_ in the screen's 32-bit pixels, as painted
  PictureKey drawn_;
  int generation_ = 0;
  int renders_ = 0;
  // The room the user gave the window; the picture is fitted into it and the
  // window then takes the picture's proportions.
  QSize box_;
  QSize requested_;
  bool placed_ = false;
  bool panning_ = false;
  QPointF grab_;
  QTimer syncTimer_;
  QTimer snapTimer_;
};

// The "Toggle Overview" command and the window's following of the active view.
void addOverviewCommands(CommandTable& table);

}  // namespace hv::viewer
