#include "viewer/filedata_command.h"

#include <unistd.h>

#include <string>
#include <string_view>

#include <QDir>
#include <QStandardPaths>

#include "docindex/docfiles_translate.h"
#include "platform/atomic_file.h"
#include "platform/exe_dir.h"
#include "platform/file_lock.h"
#include "platform/path_parts.h"
#include "viewer/command_table.h"
#include "viewer/main_frame.h"
#include "viewer/viewer_doc.h"

namespace hv::viewer {

namespace {

std::string text(const QString& s) { return s.toLocal8Bit().toStdString(); }

}  // namespace

QString fileDataPath(const QString& folder) { return withSlash(folder) + "FILEDATA.TXT"; }

QByteArray fileDataLine(const QString& imagePath) {
  const std::string path = text(imagePath);
  std::string longName = hv::platform::nameOf(path);
  if (auto t = hv::docindex::translateToLong(path)) longName = hv::platform::nameOf(t->path);
  QByteArray line = QByteArray::fromStdString(longName);
  line += '^';
  line += QByteArray::fromStdString(path);
  line += "\r\n";
  return line;
}

bool appendToFileData(const QString& folder, const QString& imagePath) {
  const std::string target = text(fileDataPath(folder));
  const QByteArray line = fileDataLine(imagePath);
  // Two viewers adding at once must not drop each other's line.
  hv::platform::FolderLock lock(hv::platform::folderOf(target), 3000);
  if (lock.status() != hv::Status::Ok) return false;
  // Only a regular file is rewritten: a FIFO or device in its place would
  // block the viewer or swallow the line, and is refused.
  return hv::platform::appendFileAtomically(target, std::string_view(line.constData(), std::size_t(line.size()))) ==
         hv::Status::Ok;
}

QString fileDataFolder() {
  const std::string exe = hv::platform::executableDir();
  if (::access(exe.c_str(), W_OK) == 0) return QString::fromStdString(exe);
  // An installed viewer's folder (/usr/bin) is not the user's to write: the
  // list then lives in the user's data folder, where it survives updates.
  const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  QDir().mkpath(data);
  return data.endsWith('/') ? data : data + '/';
}

void addFileDataCommand(CommandTable& t) {
  CommandSpec s = t.registeredOr(
      command("batch.filedata", "Add to &FILEDATA", "Add to FILEDATA file\nAdd to FILEDATA file"));
  s.run = [](CMainFrame& f) {
    if (CViewerDoc* d = f.activeDocument(); d && !d->fileName().isEmpty())
      (void)appendToFileData(fileDataFolder(), d->pathName());
  };
  s.enabled = [](CMainFrame& f) {
    CViewerDoc* d = f.activeDocument();
    return d != nullptr && !d->fileName().isEmpty();
  };
  t.add(s);
}

}  // namespace hv::viewer
