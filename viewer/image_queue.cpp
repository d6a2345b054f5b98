#include "viewer/image_queue.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

namespace hv::viewer {

namespace {
QByteArray native(const QString& path) { return QFile::encodeName(path); }
}  // namespace

QString secureQueueFolder(const QString& folder) {
  QByteArray path = native(QDir::cleanPath(folder));
  struct stat st;
  if (::lstat(path.constData(), &st) != 0) {
    QDir().mkpath(QFileInfo(QDir::cleanPath(folder)).path());
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
      return QString("The image queue folder %1 cannot be created.").arg(folder);
    if (::lstat(path.constData(), &st) != 0) return QString("The image queue folder %1 cannot be created.").arg(folder);
  }
  if (!S_ISDIR(st.st_mode)) return QString("The image queue %1 is not a folder.").arg(folder);
  if (st.st_uid != ::getuid())
    return QString("The image queue folder %1 belongs to another user; files in it are not opened.").arg(folder);
  if (st.st_mode & (S_IWGRP | S_IWOTH))
    return QString("Other users may write to the image queue folder %1; files in it are not opened.").arg(folder);
  return {};
}

QString writeHandOffFile(const QString& folder, const QString& line) {
  QByteArray templ = native(QDir(folder).filePath("GRXXXXXX"));
  int fd = ::mkstemp(templ.data());
  if (fd < 0) return {};
  QByteArray bytes;
  for (char c : line.toLocal8Bit())
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) bytes.append(c);
  bytes.append("\r\n");
  bool ok = true;
  for (qsizetype done = 0; ok && done < bytes.size();) {
    ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    done += n > 0 ? n : 0;
  }
  ok = ::fsync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  QByteArray final = templ + ".LOG";
  if (!ok || ::rename(templ.constData(), final.constData()) != 0) {
    ::unlink(templ.constData());
    return {};
  }
  return QFile::decodeName(final);
}

QString readFirstLine(const QString& path, int limit) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  QByteArray bytes = file.read(limit);
  int cut = int(bytes.size());
  for (int i = 0; i < bytes.size(); ++i)
    if (bytes[i] == '\r' || bytes[i] == '\n' || bytes[i] == '\0') {
      cut = i;
      break;
    }
  return QString::fromLocal8Bit(bytes.left(cut));
}

QStringList takeHandOffLines(const QString& folder) {
  QStringList lines;
  QDir dir(folder);
  const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted);
  for (const QString& name : names) {
    if (!name.endsWith(".log", Qt::CaseInsensitive)) continue;
    const QString path = dir.filePath(name);
    struct stat st;
    if (::lstat(native(path).constData(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    QString line = readFirstLine(path, 512);
    QFile::remove(path);
    if (!line.isEmpty()) lines << line;
  }
  return lines;
}

}  // namespace hv::viewer
