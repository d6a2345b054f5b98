#include "viewer/main_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QToolBar>
#include <QWindowStateChangeEvent>

#include "viewer/batch_print_commands.h"
#include "viewer/child_frame.h"
#include "viewer/deletion_commands.h"
#include "viewer/overview_window.h"
#include "viewer/print_setup.h"
#include "viewer/viewer_app.h"
#include "viewer/viewer_doc.h"
#include "viewer/viewer_view.h"
#include "viewer/view_commands.h"
#include "viewer/view_dialogs.h"

namespace hv::viewer {

CMainFrame::CMainFrame() : mdi_(new QMdiArea(this)), commands_(std::make_unique<CommandTable>(*this)) {
  setObjectName("MainFrame");
  mdi_->setObjectName("MdiArea");
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdi_);
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this] {
    updateTitle();
    refreshTools();
  });
  addStandardCommands(*commands_);
  addDeletionCommands(*commands_);
  addViewCommands(*commands_);
  addPrintCommands(*commands_);
  addViewDialogCommands(*commands_);
  addBatchPrintCommands(*commands_);
  addOverviewCommands(*commands_);
  addPrintSetupCommands(*commands_);
  buildMenus();
  buildToolBar();
  buildStatusBar();
  printTimer_.setInterval(500);
  connect(&printTimer_, &QTimer::timeout, this, &CMainFrame::onPrintTimer);
  qApp->installEventFilter(this);
  setWindowTitle(baseTitle_);
  refreshTools();
}

CMainFrame::~CMainFrame() {
  qApp->removeEventFilter(this);
  printTimer_.stop();
  // Documents still open go first, while the command table they refresh on
  // their way out still exists; activations during that are not followed.
  disconnect(mdi_, nullptr, this, nullptr);
  for (CChildFrame* child : children()) {
    disconnect(child, nullptr, this, nullptr);
    delete child;
  }
}

void CMainFrame::buildMenus() {
  auto add = [this](QMenu* menu, const QStringList& ids) {
    for (const QString& id : ids) {
      if (id.isEmpty()) {
        menu->addSeparator();
      } else if (QAction* a = commands_->action(id)) {
        menu->addAction(a);
      }
    }
  };
  add(menuBar()->addMenu("&File"), {"file.new", "file.open", "file.close", "file.closeAll", "file.save", "file.saveAs", "",
                                    "file.next", "file.previous", "file.reload", "", "file.delete", "file.deleteActive",
                                    "qa.markComplete", "qa.cleanup", "", "file.print", "file.printView", "file.printSetup",
                                    "file.stamp", "file.rotateForBestFit", "", "batch.select", "batch.options", "batch.filedata", "",
                                    "file.preferences", "batch.printerSettings", "", "file.exit"});
  add(menuBar()->addMenu("&Edit"), {"edit.copy", "edit.paste", "", "edit.eraseInside", "edit.eraseOutside",
                                    "edit.saveSelection", "edit.resize", "", "edit.customBox", "edit.boxA", "edit.boxB",
                                    "edit.boxC", "", "edit.extractEmbedded", "edit.burnInBlip",
                                    "edit.originalOrientation"});
  add(menuBar()->addMenu("&View"), {"view.fit", "view.actualSize", "view.zoomIn", "view.zoomOut", "view.invert",
                                    "view.rotateLeft", "view.rotateRight", "view.rotate0", "view.rotate90",
                                    "view.rotate180", "view.rotate270", "view.overview", "view.mirror", "view.zoomOptions", "view.imageInfo", "view.undo", "view.editMode", "",
                                    "view.toolBar", "view.statusBar"});
  add(menuBar()->addMenu("&Window"), {"window.cascade", "window.tileHorizontal", "window.tileVertical"});
  add(menuBar()->addMenu("&Help"), {"help.topics", "help.about"});
}

void CMainFrame::buildToolBar() {
  QToolBar* bar = addToolBar("Standard");
  bar->setObjectName("ToolBar");
  bar->setIconSize(QSize(16, 16));
  bar->setMovable(false);
  for (const QString& id : toolBarOrder()) {
    if (id.isEmpty())
      bar->addSeparator();
    else if (QAction* a = commands_->action(id))
      bar->addAction(a);
  }
}

void CMainFrame::buildStatusBar() {
  message_ = new QLabel(this);
  message_->setObjectName("StatusMessage");
  message_->setMinimumWidth(200);
  statusBar()->addWidget(message_, 1);
  const char* names[3] = {"CAP", "NUM", "SCRL"};
  for (int i = 0; i < 3; ++i) {
    locks_[i] = new QLabel(names[i], this);
    locks_[i]->setObjectName(QString("Indicator") + names[i]);
    locks_[i]->setFrameShape(QFrame::Panel);
    locks_[i]->setFrameShadow(QFrame::Sunken);
    locks_[i]->setAlignment(Qt::AlignCenter);
    locks_[i]->setMinimumWidth(locks_[i]->fontMetrics().horizontalAdvance("SCRL") + 10);
    statusBar()->addPermanentWidget(locks_[i]);
  }
  connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& m) {
    if (m.isEmpty() && !waitCursor_) message_->setText("Ready");
  });
  message_->setText("Ready");
  updateLockIndicators();
}

void CMainFrame::updateLockIndicators() {
  for (int i = 0; i < 3; ++i) locks_[i]->setEnabled(lockOn_[i]);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    int key = static_cast<QKeyEvent*>(event)->key();
    int i = key == Qt::Key_CapsLock ? 0 : key == Qt::Key_NumLock ? 1 : key == Qt::Key_ScrollLock ? 2 : -1;
    if (i >= 0 && !static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
      lockOn_[i] = !lockOn_[i];
      updateLockIndicators();
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::setStatusText(const QString& text, bool progress) {
  message_->setText(text);
  if (progress && !waitCursor_) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    waitCursor_ = true;
  }
  message_->repaint();
}

void CMainFrame::clearStatusText() {
  message_->setText("Ready");
  if (waitCursor_) {
    QApplication::restoreOverrideCursor();
    waitCursor_ = false;
  }
}

QString CMainFrame::statusText() const { return message_->text(); }

CChildFrame* CMainFrame::createChild(CViewerDoc* doc) {
  auto* child = new CChildFrame(std::unique_ptr<CViewerDoc>(doc), viewState_);
  mdi_->addSubWindow(child);
  connect(doc, &CViewerDoc::titleChanged, this, [this] { updateTitle(); });
  connect(doc, &CViewerDoc::toolStateChanged, this, [this] { refreshTools(); });
  connect(child, &QObject::destroyed, this, [this] {
    updateTitle();
    refreshTools();
  });
  return child;
}

QList<CChildFrame*> CMainFrame::children() const {
  QList<CChildFrame*> out;
  for (QMdiSubWindow* w : mdi_->subWindowList())
    if (auto* c = qobject_cast<CChildFrame*>(w)) out << c;
  return out;
}

CChildFrame* CMainFrame::activeChild() const {
  auto* c = qobject_cast<CChildFrame*>(mdi_->activeSubWindow());
  if (c == nullptr && !mdi_->subWindowList().isEmpty()) c = qobject_cast<CChildFrame*>(mdi_->currentSubWindow());
  return c != nullptr && !c->isDestroying() ? c : nullptr;
}

CViewerDoc* CMainFrame::activeDocument() const {
  CChildFrame* c = activeChild();
  return c ? c->document() : nullptr;
}

CViewerView* CMainFrame::activeView() const {
  CChildFrame* c = activeChild();
  return c ? c->view() : nullptr;
}

int CMainFrame::documentCount() const {
  int open = 0;
  for (CChildFrame* c : children()) open += c->isClosing() ? 0 : 1;
  return open;
}

void CMainFrame::closeAllDocuments() {
  for (CChildFrame* c : children()) c->close();
}

void CMainFrame::refreshTools() { commands_->refresh(); }

void CMainFrame::setBaseTitle(const QString& title) {
  baseTitle_ = title;
  updateTitle();
}

void CMainFrame::updateTitle() {
  CViewerDoc* doc = activeDocument();
  setWindowTitle(doc && !doc->title().isEmpty() ? baseTitle_ + " - [" + doc->title() + "]" : baseTitle_);
}

void CMainFrame::startPrintTimer() {
  if (!printTimer_.isActive() && printAllowed_) printTimer_.start();
}

void CMainFrame::onPrintTimer() {
  CViewerApp* app = CViewerApp::instance();
  for (CChildFrame* c : children()) {
    if (c->document()->printCycle().requested && c->document()->printCycle().state < 4) {
      c->document()->AdvancePrintCycle(app && app->isPrimary());
      return;
    }
  }
}

void CMainFrame::tileChildren(Qt::Orientation orientation) {
  const QList<QMdiSubWindow*> windows = mdi_->subWindowList();
  if (windows.isEmpty()) return;
  const QRect area = mdi_->viewport()->rect();
  const int n = int(windows.size());
  for (int i = 0; i < n; ++i) {
    windows[i]->showNormal();
    if (orientation == Qt::Horizontal) {
      int h = area.height() / n;
      windows[i]->setGeometry(0, i * h, area.width(), h);
    } else {
      int w = area.width() / n;
      windows[i]->setGeometry(i * w, 0, w, area.height());
    }
  }
}

void CMainFrame::OnRestore() {
  if (CViewerDoc* doc = activeDocument())
    for (CViewerView* view : doc->views()) view->invalidate();
}

void CMainFrame::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  const Qt::WindowStates before = static_cast<QWindowStateChangeEvent*>(event)->oldState();
  const Qt::WindowStates now = windowState();
  if ((before & (Qt::WindowMinimized | Qt::WindowMaximized)) && !(now & Qt::WindowMinimized) && before != now)
    OnRestore();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  printTimer_.stop();
  if (CViewerApp* app = CViewerApp::instance()) {
    app->settings().write(keys::RotateForBestFit, rotateForBestFit_ ? 1 : 0);
    app->settings().write(keys::InitialView, viewState_[ViewState::InitialView]);
    app->settings().write(keys::InitialRotation, rotationTenths(viewState_[ViewState::Rotation]));
    app->settings().write(keys::InitialInvert, viewState_[ViewState::Invert]);
    app->settings().write(keys::InitialPreview, viewState_[ViewState::Preview]);
  }
  closeAllDocuments();
  QMainWindow::closeEvent(event);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  CViewerApp* app = CViewerApp::instance();
  if (app == nullptr) return;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) app->OpenDocumentFile(url.toLocalFile());
  event->acceptProposedAction();
}

}  // namespace hv::viewer
