#pragma once
// The main frame: a main window around the MDI area, with the tool bar, the
// status bar (message pane and lock indicators) and the print timer.
#include <QMainWindow>
#include <QTimer>
#include <memory>

#include "viewer/command_table.h"
#include "viewer/view_state.h"

class QLabel;
class QMdiArea;
class QMdiSubWindow;

namespace hv::viewer {

class CChildFrame;
class CViewerDoc;
class CViewerView;

class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  CMainFrame();
  ~CMainFrame() override;

  void setStatusText(const QString& text, bool progress);
  void clearStatusText();
  QString statusText() const;

  // The default view state of new documents (from the settings).
  ViewState& viewState() { return viewState_; }

  CChildFrame* createChild(CViewerDoc* doc);
  QList<CChildFrame*> children() const;
  CChildFrame* activeChild() const;
  CViewerDoc* activeDocument() const;
  CViewerView* activeView() const;
  int documentCount() const;
  void closeAllDocuments();

  CommandTable& commands() { return *commands_; }
  void refreshTools();
  void startPrintTimer();
  bool printTimerRunning() const { return printTimer_.isActive(); }
  void setBaseTitle(const QString& title);
  bool rotateForBestFit() const { return rotateForBestFit_; }
  void setRotateForBestFit(bool on) { rotateForBestFit_ = on; }
  void tileChildren(Qt::Orientation orientation);
  // The window was restored (from minimised or maximised): the active
  // document's views are drawn again.
  void OnRestore();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildMenus();
  void buildToolBar();
  void buildStatusBar();
  void onPrintTimer();
  void updateTitle();
  void updateLockIndicators();

  QMdiArea* mdi_;
  std::unique_ptr<CommandTable> commands_;
  QLabel* message_ = nullptr;
  QLabel* locks_[3] = {nullptr, nullptr, nullptr};
  bool lockOn_[3] = {false, false, false};
  ViewState viewState_;
  QTimer printTimer_;
  bool printAllowed_ = true;
  bool rotateForBestFit_ = true;
  bool waitCursor_ = false;
  QString baseTitle_ = "Halvor Image Viewer";
};

}  // namespace hv::viewer
