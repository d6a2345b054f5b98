#include "desktop/external_open.h"

#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace hv::desktop {
namespace {

ExternalOpenOutcome toPdfReader(const ExternalOpenRequest& r, const QString& fileName) {
  ExternalOpenOutcome out;
  out.sentToAcrobat = true;
  out.title = fileName + " - See Adobe Acrobat Reader";
  out.status = "Sending Image to Adobe Acrobat Reader...";
  if (!r.autoLaunchPdf) {
    out.route = ExternalOpenOutcome::Route::AutoLaunchOff;
    out.message = out.status = "Adobe Acrobat File Found <Autolaunch is turned off>";
    return out;
  }
  out.route = ExternalOpenOutcome::Route::PdfReader;
  out.started = SendToAcrobat(r.path, r.pdfViewer) == 1;
  if (out.started)
    out.status = "Image was sent to Adobe Acrobat Reader";
  else
    out.message = "Adobe Acrobat Viewer:  <" + r.pdfViewer + "> is not responding to open requests.";
  return out;
}

}  // namespace

bool goesToPdfReader(const ExternalOpenRequest& request) {
  return request.pdf && request.path.toUpper().contains(".ALS");
}

ExternalOpenOutcome openExternally(FileAssociations& associations, const ExternalOpenRequest& r) {
  const QString fileName = QFileInfo(r.path).fileName();
  if (goesToPdfReader(r)) return toPdfReader(r, fileName);

  ExternalOpenOutcome out;
  // Opened, not merely looked up, as a reader would: a file that exists but
  // cannot be read is as absent to the program it would go to.
  int fd = ::open(QFile::encodeName(r.path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0) {
    if (fd >= 0) ::close(fd);
    out.route = ExternalOpenOutcome::Route::Missing;
    out.message = out.status = QString("The file %1 could not be found on disk.").arg(r.path);
    return out;
  }
  ::close(fd);
  if (st.st_size == 0) {
    out.route = ExternalOpenOutcome::Route::Empty;
    out.message = out.status =
        QString("The file %1 is not a valid image file.\n\nIt is %2 bytes in length.").arg(r.path).arg(qint64(st.st_size));
    return out;
  }
  if (associations.IsAssociated(r.path)) {
    out.route = ExternalOpenOutcome::Route::Associated;
    if (r.beforeLaunch) r.beforeLaunch();
    out.started = associations.LaunchAssociated(r.path, false);
    out.title = out.status = fileName + (out.started ? " (File Extension Autolaunched Attempted)"
                                                     : " (File Extension Autolaunch Failed)");
    return out;
  }
  out.route = ExternalOpenOutcome::Route::NotAssociated;
  if (!r.haveJedmicsRecord) {
    out.message = QString("%1 is an Unknown File Type.\n\nLongname:  %2").arg(fileName, r.longName);
    out.title = out.message;
  } else {
    out.message =
        QString("%1 is not associated with any 3rd party application.\n\nLongname:  %2").arg(fileName, r.longName);
  }
  out.status = out.message;
  return out;
}

}  // namespace hv::desktop
