#pragma once
// The application object: start-up, one running instance, opening command
// paths, the image queue and the Open command.
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <string>
#include <vector>

#include "viewer/print_setup.h"
#include "viewer/viewer_settings.h"

namespace hv::desktop {
class WindowBus;
class FileAssociations;
}

namespace hv::viewer {

class CMainFrame;
class CViewerDoc;
class EditorLink;

class CViewerApp : public QObject {
  Q_OBJECT
 public:
  // `settings` null: the per-user store.
  explicit CViewerApp(std::unique_ptr<CViewerSettings> settings = nullptr);
  ~CViewerApp() override;
  static CViewerApp* instance();

  // Start-up in order; false when the process is to end.
  bool InitInstance(const QString& commandLine);
  void ExitInstance();

  // Rewrites a command string to a rescued copy when the file lies in a cache
  // or temporary folder; 1 when rewritten or kept, 0 otherwise.
  int PrepareCommandPath(QString& command, QString& path);
  CViewerDoc* OpenCommandPath(QString command);
  bool HandOffToRunningInstance(const QString& busName, const QString& commandPath);
  // The running viewer's side of a hand-over: reads and removes every .log
  // file of the queue; the lines are opened once the call has been answered.
  int ProcessImageQueue();
  void OnFileOpen();
  // The New command: an empty document in a window of its own, titled by
  // the document type and a running number ("Viewer1", "Viewer2", ...).
  CViewerDoc* OnFileNew();

  // Opens `path` in a new document window (the framework's open-document operation).
  CViewerDoc* OpenDocumentFile(const QString& path);

  CViewerSettings& settings() { return *settings_; }
  const ViewerSettingsValues& values() const { return values_; }
  ViewerSettingsValues& values() { return values_; }
  CMainFrame* mainFrame() const { return mainFrame_; }
  bool isPrimary() const { return primary_; }
  const QString& queueDir() const { return queueDir_; }
  QString queueImagesDir() const { return queueDir_ + "IMAGES/"; }
  void setQueueDir(const QString& dir);
  const std::vector<std::string>& excludedEndings() const { return excludedEndings_; }
  const QStringList& openSelection() const { return openSelection_; }
  const QString& lastOpenSelectionFolder() const { return lastSelectionFolder_; }
  // The folder the Open and Delete dialogs start in next (empty: InitialPath).
  const QString& lastUsedFolder() const { return lastOpenFolder_; }
  void setLastUsedFolder(const QString& folder) { lastOpenFolder_ = folder; }
  // The printer chosen last in a print dialog or print setup (empty at start).
  const QString& currentPrinter() const { return currentPrinter_; }
  void setCurrentPrinter(const QString& name) { currentPrinter_ = name; }
  // The paper and orientation chosen in the last accepted print setup.
  PrintSetupChoice& printSetup() { return printSetup_; }
  const QString& startDirectory() const { return startDirectory_; }
  const QString& startPath() const { return startPath_; }
  // The folders files are rescued from (browser cache, temporary folder).
  QStringList rescueSourceFolders() const;
  // Whether an application other than the viewer is associated with the file.
  bool IsAssociated(const QString& path) const;
  bool LaunchAssociated(const QString& path);
  // Hands a PDF document to the PDFViewer program; true when it started.
  bool SendToAcrobat(const QString& path);
  EditorLink& editorLink() { return *editorLink_; }

  hv::desktop::WindowBus* bus() const { return bus_.get(); }

 private:
  bool secondInstance(const QString& commandPath);
  void openQueueLines(const QStringList& lines);

  std::unique_ptr<CViewerSettings> settings_;
  ViewerSettingsValues values_;
  QString startDirectory_, startPath_, queueDir_;
  std::vector<std::string> excludedEndings_;
  QStringList openSelection_;
  QString lastSelectionFolder_, lastOpenFolder_;
  QString currentPrinter_;
  PrintSetupChoice printSetup_;
  bool primary_ = false;
  int untitledCount_ = 0;
  CMainFrame* mainFrame_ = nullptr;
  std::unique_ptr<hv::desktop::WindowBus> bus_;
  std::unique_ptr<EditorLink> editorLink_;
  std::unique_ptr<hv::desktop::FileAssociations> associations_;
};

}  // namespace hv::viewer
