#include "desktop/mime_defaults.h"

#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <sys/stat.h>

#include "desktop/launch_process.h"
#include "platform/exe_dir.h"
#include "platform/safe_rewrite.h"

namespace hv::desktop {
namespace {

// The package file: installed beside the other shared data, or in the
// system's MIME packages folder.
QString findMimePackage() {
  std::string shipped = hv::platform::findShippedFile(kMimePackageName);
  if (!shipped.empty()) return QFile::decodeName(shipped.c_str());
  return QStandardPaths::locate(QStandardPaths::GenericDataLocation, QString("mime/packages/") + kMimePackageName);
}

bool typesKnown(const QStringList& types) {
  QMimeDatabase db;
  for (const QString& t : types)
    if (!db.mimeTypeForName(t).isValid()) return false;
  return true;
}

}  // namespace

QStringList mimeTypesForExtensions(const QStringList& extensions) {
  QStringList types;
  for (const ImageTypeChoice& choice : kImageTypeChoices)
    if (extensions.contains(QString(choice.extension), Qt::CaseInsensitive) && !types.contains(choice.mimeType))
      types << choice.mimeType;
  return types;
}

bool removeDefaultEntries(const QString& listFile, const QStringList& mimeTypes) {
  QFile file(listFile);
  if (!file.exists()) return true;
  if (!file.open(QIODevice::ReadOnly)) return false;
  // A mimeapps.list is a small text file; anything far larger is not one.
  if (file.size() > (1 << 20)) return false;
  const QList<QByteArray> lines = file.readAll().split('\n');
  file.close();
  QByteArray kept;
  bool inDefaults = false, changed = false;
  for (int i = 0; i < lines.size(); ++i) {
    const QByteArray& line = lines[i];
    QByteArray trimmed = line.trimmed();
    if (trimmed.startsWith('[')) inDefaults = trimmed == "[Default Applications]";
    int eq = trimmed.indexOf('=');
    if (inDefaults && eq > 0 && mimeTypes.contains(QString::fromUtf8(trimmed.left(eq).trimmed()))) {
      changed = true;
      continue;
    }
    kept += line;
    if (i + 1 < lines.size()) kept += '\n';
  }
  if (!changed) return true;
  const std::string path = QFile::encodeName(listFile).toStdString();
  struct stat st {};
  unsigned mode = ::stat(path.c_str(), &st) == 0 ? unsigned(st.st_mode & 07777) : 0644u;
  return hv::platform::rewriteFileSafely(path, std::string_view(kept.constData(), std::size_t(kept.size())), mode) ==
         hv::Status::Ok;
}

bool makeViewerDefault(const QStringList& extensions, const QString& mimePackage) {
  const QStringList types = mimeTypesForExtensions(extensions);
  if (types.isEmpty()) return true;
  bool ok = true;
  if (!typesKnown(types)) {
    QString package = mimePackage.isEmpty() ? findMimePackage() : mimePackage;
    ok = !package.isEmpty() && runForOutput("xdg-mime", {"install", "--mode", "user", package}, 30000).has_value();
  }
  const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  for (const QString& name : QDir(config).entryList({"*-mimeapps.list"}, QDir::Files))
    ok = removeDefaultEntries(config + "/" + name, types) && ok;
  QStringList arguments{"default", kViewerDesktopEntry};
  arguments += types;
  return runForOutput("xdg-mime", arguments, 30000).has_value() && ok;
}

}  // namespace hv::desktop
