// Saving a document's image: in place (same format) and as another file.
#include <QFileInfo>
#include <cstring>

#include "engine/image_save.h"
#include "platform/exe_dir.h"
#include "viewer/file_dialogs.h"
#include "viewer/main_frame.h"
#include "viewer/user_prompt.h"
#include "viewer/viewer_app.h"
#include "viewer/viewer_doc.h"

namespace hv::viewer {

namespace {

// The settings file that holds the CALS header user-data file keys.
std::string settingsFileName() { return hv::platform::executableDir() + "viewer.ini"; }

int progressNone(int, int, long, long) { return 1; }

}  // namespace

int CViewerDoc::SaveAsImage(ImageHdl image, const QString& path, const char* kind, const char* compression) {
  if (image == nullptr || kind == nullptr || compression == nullptr || std::strcmp(kind, "    ") == 0 ||
      std::strcmp(compression, "    ") == 0)
    return -3;
  bool loadedHere = false;
  if (!grxHasImageMemory(image)) {
    if (!grxLoadImageMemory(image, nullptr)) {
      grxFreeImageMemory(image);
      return -8;
    }
    loadedHere = true;
  }
  // The TIFF writer writes uncompressed lines most significant bit first only;
  // the picture is the same.
  std::string coding = std::strcmp(compression, "RAWL") == 0 ? "RAWM" : compression;
  std::string format = std::string(kind, 4) + coding;
  const std::string settings = settingsFileName();
  GrxSaveOptions options;
  options.settingsFile = settings.c_str();
  CViewerApp* app = CViewerApp::instance();
  int alignWidth = app ? app->values().saveAlignWidth : 8;
  int alignHeight = app ? app->values().saveAlignHeight : 8;
  const std::string target = path.toLocal8Bit().toStdString();
  int status = grxSaveImage(progressNone, image, target.c_str(), format.c_str(), &options, alignWidth, alignHeight);
  if (loadedHere) grxFreeImageMemory(image);
  return status;
}

void CViewerDoc::OnSave() {
  if (CheckExternalModification(true)) return;
  if (image_ == nullptr) return;
  if (grxHasImageMemory(image_)) {
    statusText_ = "Saving Edit Changes";
    showStatus(statusText_);
  }
  showStatus("Saving the file " + fileName_);
  const char* kind = kindForImageType(image_->record->filter);
  const char* compression = compressionForRecord(image_->record->compression);
  // The new file is written beside the drawing and renamed over it only when
  // complete: until then the drawing on disk is the old one, whole.
  int status = SaveAsImage(image_, pathName(), kind, compression);
  if (status != 0) {
    clearStatus();
    showMessage(QString("Unable to save the file %1 (status %2).").arg(pathName()).arg(status));
    return;
  }
  commitSavedImage();
  clearStatus();
}

bool CViewerDoc::commitSavedImage() {
  const QString path = pathName();
  releaseImage();
  if (hollIndex_ != -1) {
    CHVEditOps::editops_EditOpToHollRec(&editOps_, &hollRec_);
    if (hollrec_ChangeHollRec(&hollRec_, hollIndex_, directory_.toLocal8Bit().constData()) == -1)
      showMessage("Unable to update Hollerith Record Edit Operations!");
  }
  if (jmxIndex_ != -1) {
    CHVEditOps::editops_EditOpToJmxRec(&editOps_, &jmxRec_);
    QString jmxDir = QFileInfo(jmxFilePath_).path();
    if (jmxholl_ChangeHollRec(&jmxRec_, jmxIndex_, jmxDir.toLocal8Bit().constData()) == -1)
      showMessage("Unable to update Hollerith Record Edit Operations!");
  }
  modified_ = false;
  AddToNeighbourList(path);
  OpenNextOrPrevious(path);
  return true;
}

void CViewerDoc::OnSaveAs() {
  if (CheckExternalModification(true)) return;
  if (image_ == nullptr) return;
  CViewerApp* app = CViewerApp::instance();
  SaveAsChoice choice = runSaveAsDialog(app ? app->mainFrame() : nullptr, directory_, fileName_);
  if (!choice.accepted) return;
  SaveAsPath(choice.path, choice.typeNumber);
}

bool CViewerDoc::SaveAsPath(const QString& path, int typeNumber) {
  if (image_ == nullptr) return false;
  const char* kind = nullptr;
  const char* compression = nullptr;
  codesForSaveAsType(typeNumber, kind, compression);
  showStatus("Saving the file " + path);
  int status = SaveAsImage(image_, path, kind, compression);
  if (status == 0) AddToNeighbourList(path);
  clearStatus();
  if (status != 0) showMessage(QString("Unable to save the file %1 (status %2).").arg(path).arg(status));
  return status == 0;
}

}  // namespace hv::viewer
