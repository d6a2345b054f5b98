#include "viewer/filedata_command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include <QDir>
#include <QStandardPaths>

#include "batchprint/regular_file.h"
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

// Copies the old file into the rewrite in blocks; false when it cannot be
// read completely. A missing file is an empty one.
bool copyOldFile(const std::string& path, hv::platform::AtomicFile& out) {
  int fd = hv::batchprint::openRegularFile(path);
  if (fd < 0) return errno == ENOENT;
  char block[16384];
  bool ok = true;
  for (;;) {
    const ssize_t got = ::read(fd, block, sizeof block);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) ok = false;
    if (got <= 0) break;
    if (!out.write(block, std::size_t(got))) {
      ok = false;
      break;
    }
  }
  ::close(fd);
  return ok;
}

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
  if (!lock.locked()) return false;
  // Only a regular file is rewritten: a FIFO or device in its place would
  // block the viewer or swallow the line.
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return false;
  hv::platform::AtomicFile out;
  if (!out.open(target)) return false;
  if (out.streaming() || !copyOldFile(target, out) ||
      !out.write(line.constData(), std::size_t(line.size()))) {
    out.abandon();
    return false;
  }
  return out.commit();
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
