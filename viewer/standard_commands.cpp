// The viewer's command table: file, window and help commands. The view
// commands, printing, FILEDATA and the editor toggle plug into the same
// table with their handlers.
#include <QApplication>
#include <QMessageBox>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>
#include <QMdiArea>
#include <QToolBar>

#include "viewer/child_frame.h"
#include "viewer/command_table.h"
#include "viewer/main_frame.h"
#include "viewer/preferences_dialog.h"
#include "viewer/viewer_app.h"
#include "viewer/viewer_doc.h"
#include "viewer/viewer_view.h"

namespace hv::viewer {

namespace {

// A small tool-bar picture drawn from a glyph.
QIcon glyphIcon(const QString& glyph, int pixelSize = 12) {
  QPixmap pm(32, 30);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QFont f = QApplication::font();
  f.setPixelSize(pixelSize * 2);
  f.setBold(true);
  p.setFont(f);
  p.setPen(QColor(30, 60, 120));
  p.drawText(pm.rect(), Qt::AlignCenter, glyph);
  return QIcon(pm);
}

QIcon standardIcon(QStyle::StandardPixmap which) { return QApplication::style()->standardIcon(which); }

CViewerDoc* doc(CMainFrame& f) { return f.activeDocument(); }

CommandSpec command(const QString& id, const QString& text, const QString& commandText, QIcon icon = {}) {
  CommandSpec s;
  s.id = id;
  s.text = text;
  int cut = commandText.indexOf('\n');
  s.statusTip = cut >= 0 ? commandText.left(cut) : commandText;
  s.toolTip = cut >= 0 ? commandText.mid(cut + 1) : text;
  s.icon = std::move(icon);
  return s;
}

}  // namespace

void addStandardCommands(CommandTable& t) {
  CommandSpec s = command("file.open", "&Open...", "Open an existing image\nOpen",
                          standardIcon(QStyle::SP_DialogOpenButton));
  s.shortcut = QKeySequence::Open;
  s.run = [](CMainFrame&) { CViewerApp::instance()->OnFileOpen(); };
  t.add(s);

  s = command("file.next", "&Next", "Open the next image of the folder\nNext", standardIcon(QStyle::SP_ArrowRight));
  s.shortcut = QKeySequence(Qt::Key_F8);
  s.run = [](CMainFrame& f) { doc(f)->OnNext(); };
  s.enabled = [](CMainFrame& f) { return doc(f) && doc(f)->canNext(); };
  t.add(s);

  s = command("file.previous", "&Previous", "Open the previous image of the folder\nPrevious",
              standardIcon(QStyle::SP_ArrowLeft));
  s.shortcut = QKeySequence(Qt::Key_F7);
  s.run = [](CMainFrame& f) { doc(f)->OnPrevious(); };
  s.enabled = [](CMainFrame& f) { return doc(f) && doc(f)->canPrevious(); };
  t.add(s);

  s = command("file.save", "&Save", "Save the active image\nSave", standardIcon(QStyle::SP_DialogSaveButton));
  s.shortcut = QKeySequence::Save;
  s.run = [](CMainFrame& f) { doc(f)->OnSave(); };
  s.enabled = [](CMainFrame& f) { return doc(f) && doc(f)->canSave(); };
  t.add(s);

  s = command("file.saveAs", "Save &As...", "Save the active image in another file or format\nSave As");
  s.run = [](CMainFrame& f) { doc(f)->OnSaveAs(); };
  s.enabled = [](CMainFrame& f) { return doc(f) && doc(f)->canSaveAs(); };
  t.add(s);

  s = command("file.reload", "&Reload", "Reload the active image from its file\nReload",
              standardIcon(QStyle::SP_BrowserReload));
  s.shortcut = QKeySequence(Qt::Key_F5);
  s.run = [](CMainFrame& f) { doc(f)->OnReload(); };
  s.enabled = [](CMainFrame& f) { return doc(f) && doc(f)->canReload(); };
  t.add(s);

  s = command("file.close", "&Close", "Close the active image\nClose");
  s.shortcut = QKeySequence::Close;
  s.run = [](CMainFrame& f) {
    if (auto* c = f.activeChild()) c->close();
  };
  s.enabled = [](CMainFrame& f) { return f.activeChild() != nullptr; };
  t.add(s);

  s = command("file.closeAll", "Close A&ll", "Closes all open images");
  s.run = [](CMainFrame& f) { f.closeAllDocuments(); };
  s.enabled = [](CMainFrame& f) { return f.documentCount() > 0; };
  t.add(s);

  s = command("file.stamp", "Stamp &Date/Time on Prints",
              "Check this option to stamp this image's filename and date on hardcopy prints.");
  s.run = [](CMainFrame& f) { doc(f)->toggleStamp(); };
  s.enabled = [](CMainFrame& f) { return doc(f) && doc(f)->image(); };
  s.checked = [](CMainFrame& f) { return doc(f) && !doc(f)->GetPrintStamp().isEmpty(); };
  t.add(s);

  s = command("file.rotateForBestFit", "Rotate for &Best Fit",
              "Automatically rotates image for best fit on printed page");
  s.run = [](CMainFrame& f) { f.setRotateForBestFit(!f.rotateForBestFit()); };
  s.checked = [](CMainFrame& f) { return f.rotateForBestFit(); };
  t.add(s);

  s = command("file.preferences", "Pr&eferences...", "Modify viewing preferences");
  s.run = [](CMainFrame& f) {
    CPreferencesDialog dialog(CViewerApp::instance()->settings(), &f);
    dialog.exec();
  };
  t.add(s);

  s = command("file.exit", "E&xit", "Quit the application\nExit");
  s.shortcut = QKeySequence::Quit;
  s.run = [](CMainFrame& f) { f.close(); };
  t.add(s);

  // Commands whose handlers come with the view commands, printing, FILEDATA
  // and the editor link: present and disabled until then.
  t.add(command("file.print", "&Print...", "Print the active image at 100%\nPrint", glyphIcon("P")));
  t.add(command("view.fit", "&Fit in Window", "Fit the image in the window\nFit in window", glyphIcon("[ ]")));
  t.add(command("view.zoomIn", "Zoom &In", "Zoom in\nZoom in", glyphIcon("+", 14)));
  t.add(command("view.zoomOut", "Zoom &Out", "Zoom out\nZoom out", glyphIcon("\u2212", 14)));
  t.add(command("view.invert", "In&vert", "Invert the image view\nInvert", glyphIcon("\u25d0")));
  t.add(command("view.rotateLeft", "Rotate &Left", "Rotate the view left\nRotate left", glyphIcon("\u21b6")));
  t.add(command("view.rotateRight", "Rotate &Right", "Rotate the view right\nRotate right", glyphIcon("\u21b7")));
  t.add(command("view.overview", "&Overview", "Turn on or off overview image feature\nToggle Overview",
                glyphIcon("\u25a3")));
  t.add(command("view.undo", "&Undo Last View", "Undo last view\nUndo last view", glyphIcon("\u21ba")));
  t.add(command("batch.filedata", "Add to &FILEDATA", "Add to FILEDATA file\nAdd to FILEDATA file", glyphIcon("F")));
  t.add(command("jedmics.send", "Send to &Cardwright", "Send to Cardwright\nSend to Cardwright", glyphIcon("C")));

  s = command("view.editMode", "&Edit Mode", "Determines how region selection mode (edit or zoom)\nEdit mode",
              glyphIcon("E"));
  // Region selection can only zoom in this viewer: the command keeps zoom mode.
  s.run = [](CMainFrame& f) {
    if (auto* v = f.activeView()) v->viewport()->setCursor(Qt::CrossCursor);
  };
  s.enabled = [](CMainFrame& f) { return f.activeView() != nullptr; };
  t.add(s);

  s = command("window.cascade", "&Cascade", "Arrange windows so they overlap\nCascade",
              glyphIcon("\u29c9"));
  s.run = [](CMainFrame& f) { f.findChild<QMdiArea*>()->cascadeSubWindows(); };
  s.enabled = [](CMainFrame& f) { return f.documentCount() > 0; };
  t.add(s);

  s = command("window.tileHorizontal", "Tile &Horizontally", "Arrange windows as non-overlapping tiles\nTile Horizontally",
              glyphIcon("\u2261"));
  s.run = [](CMainFrame& f) { f.tileChildren(Qt::Horizontal); };
  s.enabled = [](CMainFrame& f) { return f.documentCount() > 0; };
  t.add(s);

  s = command("window.tileVertical", "Tile &Vertically", "Arrange windows as non-overlapping tiles\nTile Vertically",
              glyphIcon("\u2016"));
  s.run = [](CMainFrame& f) { f.tileChildren(Qt::Vertical); };
  s.enabled = [](CMainFrame& f) { return f.documentCount() > 0; };
  t.add(s);

  s = command("help.about", "&About Halvor Viewer...", "Display program information, version number and copyright\nAbout",
              standardIcon(QStyle::SP_MessageBoxInformation));
  s.run = [](CMainFrame& f) {
    QMessageBox::about(&f, "About Halvor Viewer",
                       QString("Halvor Image Viewer\nVersion %1").arg(QApplication::applicationVersion()));
  };
  t.add(s);

  t.add(command("help.topics", "&Help Topics", "List Help topics\nHelp Topics", glyphIcon("?")));

  s = command("view.toolBar", "&Toolbar", "Show or hide the toolbar\nToggle ToolBar");
  s.run = [](CMainFrame& f) {
    if (auto* bar = f.findChild<QToolBar*>("ToolBar")) bar->setVisible(!bar->isVisible());
  };
  s.checked = [](CMainFrame& f) {
    auto* bar = f.findChild<QToolBar*>("ToolBar");
    return bar && !bar->isHidden();
  };
  t.add(s);

  s = command("view.statusBar", "&Status Bar", "Show or hide the status bar\nToggle StatusBar");
  s.run = [](CMainFrame& f) { f.statusBar()->setVisible(!f.statusBar()->isVisible()); };
  s.checked = [](CMainFrame& f) { return !f.statusBar()->isHidden(); };
  t.add(s);
}

}  // namespace hv::viewer
