#include "viewer/viewer_doc.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstring>

#include "docindex/docfiles_translate.h"
#include "viewer/editor_link.h"
#include "viewer/main_frame.h"
#include "viewer/user_prompt.h"
#include "viewer/viewer_app.h"
#include "viewer/viewer_view.h"

namespace hv::viewer {

namespace {

std::string local(const QString& s) { return s.toLocal8Bit().toStdString(); }
QString fromLocal(const std::string& s) { return QString::fromLocal8Bit(s.c_str()); }

void splitAtSlash(const QString& path, QString& dir, QString& name) {
  int slash = path.lastIndexOf('/');
  dir = slash >= 0 ? path.left(slash + 1) : QString();
  name = slash >= 0 ? path.mid(slash + 1) : path;
}

// The long name of a path through the folder's alias records.
QString longNameOf(const QString& path) {
  auto t = hv::docindex::translateToLong(local(path));
  return t ? fromLocal(t->path) : path;
}

}  // namespace

CViewerDoc::CViewerDoc() {
  if (auto* app = CViewerApp::instance()) stampOnPrint_ = app->values().stampDateTimeOnPrint != 0;
}

CViewerDoc::~CViewerDoc() { releaseImage(); }

void CViewerDoc::showStatus(const QString& text) {
  if (auto* app = CViewerApp::instance(); app && app->mainFrame()) app->mainFrame()->setStatusText(text, true);
}

void CViewerDoc::clearStatus() {
  if (auto* app = CViewerApp::instance(); app && app->mainFrame()) app->mainFrame()->clearStatusText();
}

void CViewerDoc::setTitle(const QString& title) {
  title_ = title;
  emit titleChanged(title);
}

void CViewerDoc::addView(CViewerView* view) { views_.push_back(view); }
void CViewerDoc::removeView(CViewerView* view) { std::erase(views_, view); }
void CViewerDoc::UpdateAllViews(int hint) {
  for (CViewerView* v : views_) v->OnUpdate(hint);
}

void CViewerDoc::releaseImage() {
  if (image_ != nullptr) grxCloseImage(image_);
  image_ = nullptr;
}

void CViewerDoc::ReleaseImage() {
  releaseImage();
  UpdateAllViews(HintNothingToShow);
}

NeighbourPolicy CViewerDoc::neighbourPolicy() const {
  NeighbourPolicy p;
  if (auto* app = CViewerApp::instance()) {
    p.typeCheck = app->values().typeCheckImages != 0;
    p.excludedEndings = app->excludedEndings();
    p.associated = [app](const std::string& path) { return app->IsAssociated(fromLocal(path)); };
  }
  return p;
}

void CViewerDoc::resetContent() {
  releaseImage();
  hollIndex_ = jmxIndex_ = -1;
  neighbours_.clear();
  neighbours_.closeWatch();
  modified_ = false;
}

bool CViewerDoc::OnOpenDocument(const QString& path) {
  resetContent();
  CViewerApp* app = CViewerApp::instance();
  if (app == nullptr || app->mainFrame() == nullptr) return true;
  if (!app->openSelection().isEmpty()) {
    std::vector<std::string> names;
    for (const QString& n : app->openSelection()) names.push_back(local(n));
    neighbours_.adopt(local(withSlash(app->lastOpenSelectionFolder())), std::move(names));
  }
  embedded_ = app->values().embedded;
  embedded_.changed = false;
  bool failed = false;
  image_ = OpenImageFile(path, app->mainFrame()->viewState(), failed);
  if (image_ != nullptr) setTitle(fileName_.toUpper());
  return !failed;
}

ImageHdl CViewerDoc::OpenImageFile(const QString& pathIn, const ViewState& state, bool& loadFailed) {
  sentToAcrobat_ = false;
  loadFailed = loadFailed_ = false;
  if (image_ != nullptr) {
    SaveModifiedPrompt();
    releaseImage();
  }
  CViewerApp* app = CViewerApp::instance();
  if (app != nullptr) {
    app->settings().write(keys::CheckForRespawn, 0);
    app->settings().write(keys::RespawnFile, QString());
  }
  QString path = pathIn;
  if (!QFileInfo::exists(path)) {
    auto t = hv::docindex::translateToShort(local(path));
    if (t) path = fromLocal(t->path);
  }
  splitAtSlash(path, directory_, fileName_);
  if (::stat(local(path).c_str(), &fileStatus_) != 0) fileStatus_ = {};
  if (app == nullptr || app->mainFrame() == nullptr) return nullptr;

  showStatus("Building the Next/Previous Image List (this could take a while...)");
  neighbours_.build(local(directory_), local(fileName_), neighbourPolicy());

  showStatus("Attempting to identify file type...");
  IdentifyFileCodes(local(path), codes_);

  findRecords(path);

  const std::string kind = codes_.kind;
  if (kind == "PDF " && path.toUpper().contains(".ALS")) {
    sentToAcrobat_ = true;
    setTitle(fileName_ + " - See Adobe Acrobat Reader");
    showStatus("Sending Image to Adobe Acrobat Reader...");
    if (!app->values().autoLaunchPDF) {
      const QString text = "Adobe Acrobat File Found <Autolaunch is turned off>";
      app->mainFrame()->setStatusText(text, false);
      showMessage(text);
    } else if (app->SendToAcrobat(path)) {
      app->mainFrame()->setStatusText("Image was sent to Adobe Acrobat Reader", false);
    } else {
      showMessage("Adobe Acrobat Viewer:  <" + app->values().pdfViewer + "> is not responding to open requests.");
    }
    return nullptr;
  }
  if (kind == "    " || kind == "PDF ") {
    nonImageFile(path);
    return nullptr;
  }

  showStatus("Opening the Image...");
  unsigned options = 0;
  if (state[ViewState::InitialView] == 1) options |= GRX_OPEN_ONE_TO_ONE;
  if (state[ViewState::Invert]) options |= GRX_OPEN_INVERT;
  const std::string file = local(path);
  ImageHdl h = grxOpenImage(app->mainFrame(), file.c_str(), options, nullptr);
  if (h == nullptr) loadFailed = loadFailed_ = true;
  editOps_ = {};
  if (h != nullptr) {
    if (jmxIndex_ != -1) CHVEditOps::editops_JmxRecToEditOp(&jmxRec_, &editOps_);
    showStatus("Looking for hollerith record entry...");
    const QString longPath = longNameOf(path);
    const std::string longName = local(QFileInfo(longPath).fileName());
    if (hv::docindex::isLongName(local(longPath))) {
      hollIndex_ = hollrec_FindRecUsingLongName(local(directory_).c_str(), longName.c_str(), &hollRec_);
      if (hollIndex_ != -1) {
        hollFilePath_ = directory_ + hollrec_GetHollerithFileName();
        CHVEditOps::editops_HollRecToEditOp(&hollRec_, &editOps_);
      }
    }
  }
  clearStatus();
  return h;
}

void CViewerDoc::ResyncJedmicsRecord() {
  if (jmxIndex_ != -1 && !fileName_.isEmpty()) findRecords(pathName());
}

void CViewerDoc::findRecords(const QString& path) {
  QString dir, name;
  splitAtSlash(longNameOf(path), dir, name);
  jmxIndex_ = jmxholl_FindRecUsingLongName(local(dir).c_str(), local(name.toUpper()).c_str(), &jmxRec_);
  if (jmxIndex_ != -1) jmxFilePath_ = dir + jmxholl_GetJmxHollFileBase();
  jmxReference_ = jmxIndex_ == -1 || directory_.isEmpty()
                      ? QString()
                      : directory_ + jmxholl_GetJmxHollFileBase() + "#" + QString::number(jmxIndex_);
}

void CViewerDoc::nonImageFile(const QString& path) {
  CViewerApp* app = CViewerApp::instance();
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    showMessage(QString("The file %1 could not be found on disk.").arg(path));
  } else if (file.size() == 0) {
    showMessage(QString("The file %1 is not a valid image file.\n\nIt is %2 bytes in length.").arg(path).arg(0));
  } else if (app->IsAssociated(path)) {
    app->settings().write(keys::CheckForRespawn, 1);
    app->settings().write(keys::RespawnFile, path);
    bool ok = app->LaunchAssociated(path);
    QString text = fileName_ + (ok ? " (File Extension Autolaunched Attempted)" : " (File Extension Autolaunch Failed)");
    setTitle(text);
    app->mainFrame()->setStatusText(text, false);
  } else {
    QString longName = longNameOf(path);
    QString text = jmxIndex_ == -1
                       ? QString("%1 is an Unknown File Type.\n\nLongname:  %2").arg(fileName_, longName)
                       : QString("%1 is not associated with any 3rd party application.\n\nLongname:  %2")
                             .arg(fileName_, longName);
    if (jmxIndex_ == -1) setTitle(text);
    app->mainFrame()->setStatusText(text, false);
    showMessage(text);
  }
  clearStatus();
}

void CViewerDoc::OpenNextOrPrevious(const QString& path) {
  CViewerApp* app = CViewerApp::instance();
  if (app == nullptr || app->mainFrame() == nullptr) {
    showMessage("OpenNextOrPrevious Main Window is NULL");
    return;
  }
  app->editorLink().MayLeaveImage(*this);
  ViewState state = app->mainFrame()->viewState();
  if (CViewerView* v = firstView()) state = v->viewState();
  bool failed = false;
  ImageHdl h = OpenImageFile(path, state, failed);
  if (h == nullptr) {
    UpdateAllViews(HintNothingToShow);
  } else {
    releaseImage();
    image_ = h;
    modified_ = false;
    setTitle(fileName_.toUpper());
    UpdateAllViews(HintNewImage);
    app->editorLink().SendImage(*this);
  }
  emit toolStateChanged();
  if (loadFailed_) {
    directory_.clear();
    fileName_.clear();
    emit closeRequested();
  }
}

void CViewerDoc::OnNext() {
  if (canNext()) OpenNextOrPrevious(fromLocal(neighbours_.next()));
}

void CViewerDoc::OnPrevious() {
  if (canPrevious()) OpenNextOrPrevious(fromLocal(neighbours_.previous()));
}

void CViewerDoc::OnReload() {
  if (!canReload()) return;
  QString path = image_ && image_->record ? QString::fromLocal8Bit(image_->record->path) : pathName();
  OpenNextOrPrevious(path);
}

int CViewerDoc::StepToNeighbour() {
  if (canNext()) {
    OpenNextOrPrevious(fromLocal(neighbours_.next()));
    return 1;
  }
  if (canPrevious()) {
    OpenNextOrPrevious(fromLocal(neighbours_.previous()));
    return 1;
  }
  return 0;
}

bool CViewerDoc::CheckExternalModification(bool ask) {
  if (image_ == nullptr) return false;
  struct stat now {};
  if (::stat(local(pathName()).c_str(), &now) != 0) return false;
  if (now.st_mtim.tv_sec == fileStatus_.st_mtim.tv_sec && now.st_mtim.tv_nsec == fileStatus_.st_mtim.tv_nsec)
    return false;
  if (!ask) return false;
  QString name = QFileInfo(longNameOf(pathName())).fileName();
  QString text = modified_ ? QString("The file %1 has been modified by another application.\n\nAny changes you have "
                                     "made will be lost.\n\nDo you want to reload the image?")
                                 .arg(name)
                           : QString("The file %1 has been modified by another application.\n\nDo you want to "
                                     "reload the image?")
                                 .arg(name);
  if (askYesNo(text)) {
    modified_ = false;
    OnReload();
    return false;
  }
  return true;
}

void CViewerDoc::AddToNeighbourList(const QString& path) {
  CViewerApp* app = CViewerApp::instance();
  QString dir, name;
  splitAtSlash(path, dir, name);
  if (!neighbours_.empty() && app &&
      withSlash(dir).compare(withSlash(app->lastOpenSelectionFolder()), Qt::CaseInsensitive) == 0)
    neighbours_.addName(local(name));
  if (image_ != nullptr) neighbours_.build(local(directory_), local(fileName_), neighbourPolicy());
}

void CViewerDoc::RecomputeNeighboursAfterDelete() {
  neighbours_.recomputeAfterDelete(local(directory_), local(fileName_));
}

QString CViewerDoc::GetPrintStamp() const {
  if (!stampOnPrint_ || image_ == nullptr) return {};
  static const char* const months[] = {"January", "February", "March",     "April",   "May",      "June",
                                       "July",    "August",   "September", "October", "November", "December"};
  QDateTime now = QDateTime::currentDateTime();
  QString name = fileName_.section('.', 0, 0);
  return QString::asprintf("%s %02d, %04d %02d:%02d:%02d [%s]", months[now.date().month() - 1], now.date().day(),
                           now.date().year(), now.time().hour(), now.time().minute(), now.time().second(),
                           name.toLocal8Bit().constData());
}

void CViewerDoc::toggleStamp() {
  stampOnPrint_ = !stampOnPrint_;
  for (CViewerView* v : views_) v->viewport()->update();
}

void CViewerDoc::SaveModifiedPrompt() {
  if (image_ == nullptr || !modified_) return;
  QString dir, name;
  splitAtSlash(longNameOf(pathName()), dir, name);
  if (askYesNo("Do you want to save changes before closing?\nTo the file:  " + dir + name)) OnSave();
}

void CViewerDoc::OnCloseDocument() {
  neighbours_.clear();
  SaveModifiedPrompt();
  releaseImage();
  CViewerApp* app = CViewerApp::instance();
  if (app != nullptr && !fileName_.isEmpty()) {
    const QString images = app->queueImagesDir();
    if (directory_.toUpper() == images.toUpper()) QFile::remove(directory_ + fileName_);
    if (app->mainFrame() && app->mainFrame()->documentCount() == 0) {
      QDir queue(images);
      for (const QString& f : queue.entryList(QDir::Files | QDir::Hidden | QDir::System)) queue.remove(f);
    }
  }
  neighbours_.closeWatch();
}

void CViewerDoc::AdvancePrintCycle(bool primary) {
  if (print_.state == 0) {
    print_.ticks = 0;
    if (primary && print_.requested) print_.state = 1;
  }
  if (print_.state == 1) {
    print_.ticks = 0;
    CViewerView* view = firstView();
    if (CViewerApp::instance() && CViewerApp::instance()->mainFrame() && view != nullptr) {
      print_.state = 2;
      view->PrintUnattended();
    }
  }
  if (print_.state == 2) {
    ++print_.ticks;
    if (print_.ticks > 10 && print_.printFinished) print_.state = 3;
  }
  if (print_.state == 3) {
    print_.state = 4;
    emit closeRequested();
  }
}

}  // namespace hv::viewer
