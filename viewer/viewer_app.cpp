#include "viewer/viewer_app.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScreen>
#include <QTimer>

#include "desktop/associations.h"
#include "desktop/file_associations_dialog.h"
#include "desktop/shared_text.h"
#include "desktop/window_bus.h"
#include "docindex/docfiles_translate.h"
#include "platform/exe_dir.h"
#include "viewer/child_frame.h"
#include "viewer/editor_link.h"
#include "viewer/file_dialogs.h"
#include "viewer/image_queue.h"
#include "viewer/main_frame.h"
#include "viewer/message_handlers.h"
#include "viewer/user_prompt.h"
#include "viewer/viewer_doc.h"

namespace hv::viewer {

namespace {

CViewerApp* g_app = nullptr;

constexpr const char* kInstanceName = "org.halvor.Viewer";
constexpr const char* kOpenInMainViewer = "HVMSG_HVViewer32_OpenInMainViewer";
constexpr const char* kChangeImageBlock = "HVMMF_HVViewer32_ChangeImage";

void stripQuotes(QString& s) {
  if (s.size() >= 2 && s.startsWith('"') && s.endsWith('"')) s = s.mid(1, s.size() - 2);
}

QString envFolder(const char* name, const QString& fallback) {
  QString v = qEnvironmentVariable(name);
  return withSlash(QDir::cleanPath(v.isEmpty() ? fallback : v));
}

// Where an "@hand-over-file" word starts: an '@' that begins the command or
// follows a blank, outside double quotes. An '@' inside a file name (a
// drawing called "part@2.tif") names no hand-over file, so nothing is deleted.
int handOffMark(const QString& command) {
  bool quoted = false;
  for (int i = 0; i < command.size(); ++i) {
    if (command[i] == '"') quoted = !quoted;
    if (!quoted && command[i] == '@' && (i == 0 || command[i - 1] == ' ')) return i;
  }
  return -1;
}

}  // namespace

CViewerApp::CViewerApp(std::unique_ptr<CViewerSettings> settings)
    : settings_(settings ? std::move(settings) : std::make_unique<CViewerSettings>()) {
  g_app = this;
  startDirectory_ = withSlash(QDir::currentPath());
  queueDir_ = defaultImageQueueDir();
  excludedEndings_ = {".xml", ".hol", ".idx", ".rst", ".dlf"};
  if (settings_->viewerDir().isEmpty()) settings_->setViewerDir(QString::fromStdString(hv::platform::executableDir()));
  settings_->setQueueDir(queueDir_);
  editorLink_ = std::make_unique<EditorLink>(*this);
}

CViewerApp::~CViewerApp() {
  ExitInstance();
  if (g_app == this) g_app = nullptr;
}

CViewerApp* CViewerApp::instance() { return g_app; }

void CViewerApp::setQueueDir(const QString& dir) {
  queueDir_ = withSlash(dir);
  settings_->setQueueDir(queueDir_);
}

void CViewerApp::ExitInstance() {
  bus_.reset();
  associations_.reset();
  if (mainFrame_ != nullptr) {
    delete mainFrame_;
    mainFrame_ = nullptr;
  }
  settings_->sync();
}

QStringList CViewerApp::rescueSourceFolders() const {
  return {envFolder("XDG_CACHE_HOME", QDir::homePath() + "/.cache"), envFolder("TMPDIR", "/tmp")};
}

bool CViewerApp::IsAssociated(const QString& path) const {
  return associations_ != nullptr && associations_->IsAssociated(path);
}

bool CViewerApp::LaunchAssociated(const QString& path) {
  return associations_ != nullptr && associations_->LaunchAssociated(path, false);
}

bool CViewerApp::SendToAcrobat(const QString& path) {
  return hv::desktop::SendToAcrobat(path, values_.pdfViewer) == 1;
}

bool CViewerApp::InitInstance(const QString& commandLine) {
  QString command = commandLine;
  setQueueDir(settings_->readString(kAppSection, keys::WEBJEDMICSImageQueue.name, queueDir_));
  if (int at = command.indexOf("-fileext"); at >= 0) {
    hv::desktop::showImageFileAssociations(nullptr);
    command.remove(at, 8);
  }
  command = command.trimmed();

  QString path;
  PrepareCommandPath(command, path);
  QString prepared = command.left(1023);

  if (!prepared.isEmpty()) {
    if (int at = handOffMark(prepared); at >= 0) {
      QString handOff = prepared.mid(at + 1).trimmed();
      prepared = prepared.left(at).trimmed();
      stripQuotes(handOff);
      if (QFileInfo(handOff).isFile()) {
        (void)readFirstLine(handOff, 511);
        QFile::remove(handOff);
      }
    }
    for (int i = prepared.indexOf('-'); i >= 0; i = prepared.indexOf('-', i + 1))
      if (i + 1 < prepared.size() && prepared[i + 1] == '?')
        showMessage("I was compiled with these options:  [NETWORK] [USELONGNAMES] [IMAGESAVE] [NDEBUG] ");
  }

  if (settings_->read(keys::CheckForRespawn) != 0) {
    QString respawn = settings_->read(keys::RespawnFile);
    if (!respawn.isEmpty() && path.toUpper().contains(respawn.toUpper())) {
      const QString app = QApplication::applicationDisplayName();
      showMessage(QString("The file %1 is associated with %2.\n\nHowever this file is not recognized as a valid "
                          "image file by %2.\n\nIt is possible that this image is corrupted or invalid.\n\nYou must "
                          "change your extension association in the system to a different viewer if you think "
                          "this is a valid image.")
                      .arg(respawn, app));
      return false;
    }
  }

  values_ = settings_->loadAll();

  mainFrame_ = new CMainFrame();
  ViewState& state = mainFrame_->viewState();
  state[ViewState::InitialView] = settings_->read(keys::InitialView) == 1 ? 1 : 0;
  state[ViewState::Rotation] = rotationIndex(settings_->read(keys::InitialRotation));
  state[ViewState::Invert] = settings_->read(keys::InitialInvert) != 0;
  state[ViewState::Preview] = settings_->read(keys::InitialPreview) != 0;
  mainFrame_->setRotateForBestFit(settings_->read(keys::RotateForBestFit) != 0);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect r = screen->availableGeometry();
    mainFrame_->setGeometry(r.x() + r.width() / 3, r.y() + r.height() / 3, r.width() / 3, r.height() / 3);
  }

  bus_ = std::make_unique<hv::desktop::WindowBus>();
  if (!hv::desktop::WindowBus::claimName(kInstanceName)) return secondInstance(prepared);

  primary_ = true;
  startPath_ = path;
  associations_ = std::make_unique<hv::desktop::FileAssociations>(
      [](const QString&, const QString& text) { showMessage(text, QMessageBox::Warning); });
  bus_->publish(mainFrame_);
  installMessageHandlers(*this);
  installSendToggle(*mainFrame_, *editorLink_);

  if (QScreen* screen = QGuiApplication::primaryScreen()) mainFrame_->setGeometry(screen->availableGeometry());
  if (!prepared.isEmpty()) OpenCommandPath(prepared);
  mainFrame_->setAcceptDrops(true);
  mainFrame_->show();
  mainFrame_->refreshTools();
  return true;
}

bool CViewerApp::secondInstance(const QString& commandPath) {
  mainFrame_->setBaseTitle("PENDING");
  bus_->publish(mainFrame_);
  for (int pass = 0; pass < 5; ++pass) {
    for (const QString& service : bus_->windowServices()) {
      const QString title = bus_->titleOf(service).toUpper();
      if (!title.contains("HALVOR") || !title.contains("IMAGE") || !title.contains("VIEWER") ||
          title.contains("HALVOR QA") || title.contains("PENDING"))
        continue;
      if (HandOffToRunningInstance(service, commandPath)) return false;
    }
  }
  return false;
}

bool CViewerApp::HandOffToRunningInstance(const QString& service, const QString& commandPath) {
  if (QString problem = secureQueueFolder(queueDir_); !problem.isEmpty()) return false;
  const QString log = writeHandOffFile(queueDir_, commandPath);
  if (log.isEmpty()) return false;
  bool ok = false;
  qint64 answer =
      hv::desktop::SendSharedText(*bus_, kChangeImageBlock, kOpenInMainViewer, service, "IMAGEQUEUE", &ok);
  if (ok && answer == 1) return true;
  QFile::remove(log);
  return false;
}

int CViewerApp::ProcessImageQueue() {
  static bool warned = false;
  if (QString problem = secureQueueFolder(queueDir_); !problem.isEmpty()) {
    if (!warned) {
      warned = true;
      QTimer::singleShot(0, this, [problem] { showMessage(problem, QMessageBox::Warning); });
    }
    return 1;
  }
  const QStringList lines = takeHandOffLines(queueDir_);
  // The sender waits for the answer: the files open once it has it.
  QTimer::singleShot(0, this, [this, lines] { openQueueLines(lines); });
  return 1;
}

void CViewerApp::openQueueLines(const QStringList& lines) {
  if (mainFrame_ != nullptr) {
    if (mainFrame_->isMinimized()) mainFrame_->showNormal();
    mainFrame_->raise();
    mainFrame_->activateWindow();
  }
  for (const QString& line : lines) OpenCommandPath(line);
}

int CViewerApp::PrepareCommandPath(QString& command, QString& path) {
  path = command;
  const bool print = command.contains("-print");
  if (print) {
    int quote = command.indexOf('"');
    path = quote < 0 ? command : command.mid(quote);
  }
  path = path.trimmed();
  stripQuotes(path);
  if (path.isEmpty()) return 0;
  const QString dir = QFileInfo(path).absolutePath().toUpper() + "/";
  bool rescue = false;
  for (const QString& folder : rescueSourceFolders())
    if (dir.contains(folder.toUpper())) rescue = true;
  if (!rescue) return 1;
  const QString images = queueImagesDir();
  if (!secureQueueFolder(queueDir_).isEmpty()) return 1;
  QDir().mkpath(images);
  if (dir == images.toUpper() || dir.startsWith(images.toUpper())) return 0;
  const QString copy = images + QFileInfo(path).fileName();
  QFile::remove(copy);
  if (!QFile::copy(path, copy)) {
    showMessage(QString("Copy Failed csDestPath: %1").arg(copy));
    // The original stays openable where it is.
    return 1;
  }
  path = copy;
  command = print ? "-print \"" + copy + "\"" : "\"" + copy + "\"";
  return 1;
}

CViewerDoc* CViewerApp::OpenCommandPath(QString command) {
  if (command.trimmed().isEmpty()) return nullptr;
  QString path;
  PrepareCommandPath(command, path);
  bool print = false;
  if (int at = command.indexOf("-print"); at >= 0) {
    command = command.mid(at + 7);
    print = true;
  }
  command = command.trimmed();
  stripQuotes(command);
  QString target = command;
  if (!QFileInfo::exists(target)) {
    auto t = hv::docindex::translateToShort(target.toLocal8Bit().toStdString());
    if (t) target = QString::fromLocal8Bit(t->path.c_str());
  }
  QFileInfo info(target);
  if (info.exists() && info.isReadable()) {
    CViewerDoc* doc = OpenDocumentFile(info.absoluteFilePath());
    if (doc != nullptr && print) {
      doc->printCycle().requested = 1;
      mainFrame_->startPrintTimer();
    }
    return doc;
  }
  showMessage(QString("Unable to access this file during open attempt:\n\n(%1)").arg(command),
              QMessageBox::Warning);
  return nullptr;
}

CViewerDoc* CViewerApp::OpenDocumentFile(const QString& path) {
  if (mainFrame_ == nullptr) return nullptr;
  auto* doc = new CViewerDoc();
  CChildFrame* child = mainFrame_->createChild(doc);
  if (!doc->OnOpenDocument(path)) {
    child->close();
    return nullptr;
  }
  if (doc->title().isEmpty()) doc->setTitle(QFileInfo(path).fileName().toUpper());
  child->setWindowTitle(doc->title());
  child->showMaximized();
  doc->UpdateAllViews(HintNewImage);
  mainFrame_->refreshTools();
  editorLink_->SendImage(*doc);
  return doc;
}

CViewerDoc* CViewerApp::OnFileNew() {
  if (mainFrame_ == nullptr) return nullptr;
  auto* doc = new CViewerDoc();
  CChildFrame* child = mainFrame_->createChild(doc);
  doc->setTitle(QString("Viewer%1").arg(++untitledCount_));
  child->setWindowTitle(doc->title());
  child->showMaximized();
  doc->UpdateAllViews(HintNothingToShow);
  mainFrame_->refreshTools();
  return doc;
}

void CViewerApp::OnFileOpen() {
  QString folder = lastOpenFolder_.isEmpty() ? values_.initialPath : lastOpenFolder_;
  QStringList exclusions;
  if (values_.typeCheckImages)
    for (const std::string& e : excludedEndings_) exclusions << QString::fromStdString(e);
  OpenChoice choice = runOpenDialog(mainFrame_, folder, settings_->read(keys::FileSelectionFilters),
                                    values_.fileListSort, exclusions);
  openSelection_.clear();
  if (!choice.accepted) return;
  lastSelectionFolder_ = choice.folder;
  for (const QString& p : choice.paths) {
    const QString name = QFileInfo(p).fileName();
    FileCodes codes;
    if (!values_.typeCheckImages || IdentifyFileCodes(p.toLocal8Bit().toStdString(), codes) || IsAssociated(p))
      openSelection_ << name;
  }
  for (int i = 0; i < choice.paths.size(); ++i) {
    if (choice.paths[i].isEmpty()) continue;
    OpenCommandPath(choice.paths[i]);
    if (i == 0) lastOpenFolder_ = choice.folder;
  }
  openSelection_.clear();
}

}  // namespace hv::viewer
