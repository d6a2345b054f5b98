// The viewer's command table: file, window and help commands. The view
// commands, printing, FILEDATA and the editor toggle plug into the same
// table with their handlers.
#include <QApplication>
#include <QMessageBox>
#include <QStatusBar>
#include <QMdiArea>
#include <QToolBar>

#include "viewer/child_frame.h"
#include "viewer/command_table.h"
#include "viewer/main_frame.h"
#include "viewer/preferences_dialog.h"
#include "viewer/viewer_app.h"
#include "viewer/viewer_doc.h"
#include "viewer/viewer_view.h"

// The icons live in the static viewer library: their resources are
// registered explicitly so the linker cannot drop them.
static void initIcons() { Q_INIT_RESOURCE(icons); }

namespace hv::viewer {

namespace {

// A tool-bar picture: the desktop theme's icon when the theme has the
// standard name, else our own drawing from the resources.
QIcon themed(const char* themeName, const char* ours) {
  const QIcon own(QString(":/icons/%1.svg").arg(ours));
  return themeName ? QIcon::fromTheme(themeName, own) : own;
}

CViewerDoc* doc(CMainFrame& f) { return f.activeDocument(); }

}  // namespace

void addStandardCommands(CommandTable& t) {
  initIcons();
  CommandSpec s = command("file.new", "&New", "Create a new document\nNew", themed("document-new", "new"));
  s.shortcut = QKeySequence::New;
  s.run = [](CMainFrame&) { CViewerApp::instance()->OnFileNew(); };
  s.enabled = [](CMainFrame&) { return CViewerApp::instance() != nullptr; };
  t.add(s);

  s = command("file.open", "&Open...", "Open an existing image\nOpen",
                          themed("document-open", "open"));
  s.shortcut = QKeySequence::Open;
  s.run = [](CMainFrame&) { CViewerApp::instance()->OnFileOpen(); };
  t.add(s);

  s = command("file.next", "&Next", "Open the next image of the folder\nNext", themed("go-next", "next"));
  s.shortcut = QKeySequence(Qt::Key_F8);
  s.run = [](CMainFrame& f) { doc(f)->OnNext(); };
  s.enabled = [](CMainFrame& f) { return doc(f) && doc(f)->canNext(); };
  t.add(s);

  s = command("file.previous", "&Previous", "Open the previous image of the folder\nPrevious",
              themed("go-previous", "previous"));
  s.shortcut = QKeySequence(Qt::Key_F7);
  s.run = [](CMainFrame& f) { doc(f)->OnPrevious(); };
  s.enabled = [](CMainFrame& f) { return doc(f) && doc(f)->canPrevious(); };
  t.add(s);

  s = command("file.save", "&Save", "Save the active image\nSave", themed("document-save", "save"));
  s.shortcut = QKeySequence::Save;
  s.run = [](CMainFrame& f) { doc(f)->OnSave(); };
  s.enabled = [](CMainFrame& f) { return doc(f) && doc(f)->canSave(); };
  t.add(s);

  s = command("file.saveAs", "Save &As...", "Save the active image in another file or format\nSave As");
  s.run = [](CMainFrame& f) { doc(f)->OnSaveAs(); };
  s.enabled = [](CMainFrame& f) { return doc(f) && doc(f)->canSaveAs(); };
  t.add(s);

  s = command("file.reload", "&Reload", "Reload the active image from its file\nReload",
              themed("view-refresh", "reload"));
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
  t.add(command("file.print", "&Print...", "Print the active image at 100%\nPrint", themed("document-print", "print")));
  t.add(command("view.fit", "&Fit in Window", "Fit the image in the window\nFit in window", themed("zoom-fit-best", "fit")));
  t.add(command("view.zoomIn", "Zoom &In", "Zoom in\nZoom in", themed("zoom-in", "zoom-in")));
  t.add(command("view.zoomOut", "Zoom &Out", "Zoom out\nZoom out", themed("zoom-out", "zoom-out")));
  t.add(command("view.invert", "In&vert", "Invert the image view\nInvert", themed(nullptr, "invert")));
  t.add(command("view.rotateLeft", "Rotate &Left", "Rotate the view left\nRotate left", themed("object-rotate-left", "rotate-left")));
  t.add(command("view.rotateRight", "Rotate &Right", "Rotate the view right\nRotate right", themed("object-rotate-right", "rotate-right")));
  t.add(command("view.overview", "&Overview", "Turn on or off overview image feature\nToggle Overview",
                themed(nullptr, "overview")));
  t.add(command("view.undo", "&Undo Last View", "Undo last view\nUndo last view", themed("edit-undo", "undo-view")));
  t.add(command("batch.filedata", "Add to &FILEDATA", "Add to FILEDATA file\nAdd to FILEDATA file", themed(nullptr, "filedata")));
  t.add(command("jedmics.send", "Send to &Cardwright", "Send to Cardwright\nSend to Cardwright", themed(nullptr, "send-editor")));

  s = command("view.editMode", "&Edit Mode", "Determines how region selection mode (edit or zoom)\nEdit mode",
              themed(nullptr, "edit-mode"));
  // Region selection can only zoom in this viewer: the command keeps zoom mode.
  s.run = [](CMainFrame& f) {
    if (auto* v = f.activeView()) v->viewport()->setCursor(Qt::CrossCursor);
  };
  s.enabled = [](CMainFrame& f) { return f.activeView() != nullptr; };
  t.add(s);

  // Image editing needs the application's may-edit capability, which this
  // viewer does not have: the commands are shown and stay disabled.
  const struct {
    const char *id, *text, *status;
  } editing[] = {
      {"edit.eraseInside", "Erase &Inside Selection", "Erase image bits inside of selection rectangle"},
      {"edit.eraseOutside", "Erase &Outside Selection", "Erase image bits outside of selection rectangle"},
      {"edit.saveSelection", "&Save Selection As Image...", "Save image bits inside selection rectangle as separate image"},
      {"edit.resize", "&Resize to Selection", "Resizes image to rectangle selection"},
      {"edit.extractEmbedded", "E&xtract Embedded Sheets...", "Extracts embedded images to separate image files"},
      {"edit.burnInBlip", "&Burn In Blip Image", "Manually Burn In Blip Image"},
      {"edit.originalOrientation", "Change Original &Orientation...", "Change Original Orientation for Image"},
      {"edit.copy", "&Copy", "Copies selected area to GRX Clipboard"},
      {"edit.paste", "&Paste", "Pastes GRX Clipboard into Image"},
      {"edit.customBox", "C&ustom Selection Box...", "Creates a custom-sized selection area box for editing"},
      {"edit.boxA", "&A-Size Selection Box", "Creates an A-size (8.5 x 11 inch) selection area box for editing"},
      {"edit.boxB", "B-Si&ze Selection Box", "Creates a B-size (11 x 17 inch) selection area box for editing"},
      {"edit.boxC", "C-Siz&e Selection Box", "Creates a C-size (17 x 22 inch) selection area box for editing"},
  };
  for (const auto& e : editing) t.add(command(e.id, e.text, e.status));

  s = command("window.cascade", "&Cascade", "Arrange windows so they overlap\nCascade",
              themed(nullptr, "cascade"));
  s.run = [](CMainFrame& f) { f.findChild<QMdiArea*>()->cascadeSubWindows(); };
  s.enabled = [](CMainFrame& f) { return f.documentCount() > 0; };
  t.add(s);

  s = command("window.tileHorizontal", "Tile &Horizontally", "Arrange windows as non-overlapping tiles\nTile Horizontally",
              themed(nullptr, "tile-horizontal"));
  s.run = [](CMainFrame& f) { f.tileChildren(Qt::Horizontal); };
  s.enabled = [](CMainFrame& f) { return f.documentCount() > 0; };
  t.add(s);

  s = command("window.tileVertical", "Tile &Vertically", "Arrange windows as non-overlapping tiles\nTile Vertically",
              themed(nullptr, "tile-vertical"));
  s.run = [](CMainFrame& f) { f.tileChildren(Qt::Vertical); };
  s.enabled = [](CMainFrame& f) { return f.documentCount() > 0; };
  t.add(s);

  s = command("help.about", "&About Halvor Viewer...", "Display program information, version number and copyright\nAbout",
              themed("help-about", "about"));
  s.run = [](CMainFrame& f) {
    QMessageBox::about(&f, "About Halvor Viewer",
                       QString("Halvor Image Viewer\nVersion %1").arg(QApplication::applicationVersion()));
  };
  t.add(s);

  t.add(command("help.topics", "&Help Topics", "List Help topics\nHelp Topics", themed("help-contents", "help")));

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
