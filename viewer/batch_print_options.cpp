#include "viewer/batch_print_options.h"

#include <QFileInfo>

#include "batchprint/net_host.h"
#include "docindex/docfiles_translate.h"
#include "viewer/viewer_settings.h"

namespace hv::viewer {

namespace bp = hv::batchprint;

namespace {

QString section() { return QString::fromLatin1(bp::kOptionsSection); }
std::string text(const QString& s) { return s.toLocal8Bit().toStdString(); }
QString qtext(const std::string& s) { return QString::fromLocal8Bit(s.data(), qsizetype(s.size())); }

// Counts and numbers: a negative value would become an enormous unsigned
// field of the image record, so it reads as the default like any junk.
unsigned readCount(const CViewerSettings& s, const char* key) {
  const int v = s.readInt(section(), key, 0);
  return v < 0 ? 0u : unsigned(v);
}

bool readFlag(const CViewerSettings& s, const char* key) { return s.readInt(section(), key, 0) != 0; }

QString readText(const CViewerSettings& s, const char* key, const QString& fallback) {
  return s.readString(section(), key, fallback);
}

}  // namespace

QString batchDirectoryDefault(const QString& callerFolder) {
  if (!callerFolder.isEmpty()) {
    QString folder = callerFolder;
    if (!QFileInfo(folder).isDir()) {
      if (auto t = hv::docindex::translateToShort(text(folder))) folder = qtext(t->path);
    }
    if (QFileInfo(folder).isDir()) return withSlash(folder);
  }
  return qtext(bp::defaultDirectory());
}

bp::BatchPrintOptions readBatchPrintOptions(const CViewerSettings& s, const QString& callerFolder) {
  bp::BatchPrintOptions o;
  o.remote = readFlag(s, bp::key::kRemote);
  o.serverName = text(readText(s, bp::key::kServerName, {}));
  // An address that does not read as up to four decimal parts is no address.
  const QString address = readText(s, bp::key::kServerAddress, {}).trimmed();
  o.serverAddress = bp::ParseAddress(text(address)) ? text(address) : std::string();
  o.copies = readCount(s, bp::key::kCopies);
  o.plotter = readCount(s, bp::key::kPlotter);
  o.invert = readFlag(s, bp::key::kInvert);
  o.size = text(readText(s, bp::key::kSize, qtext(o.size)));
  o.dataListName = text(readText(s, bp::key::kDataListName, qtext(o.dataListName)));
  o.directory = text(readText(s, bp::key::kDirectory, batchDirectoryDefault(callerFolder)));
  o.reserved1 = text(readText(s, bp::key::kReserved1, {}));
  o.selectionFilters = text(readText(s, bp::key::kSelectionFilters, qtext(o.selectionFilters)));
  return o;
}

void writeBatchPrintOptions(CViewerSettings& s, const bp::BatchPrintOptions& o) {
  const QString sec = section();
  s.writeString(sec, bp::key::kDirectory, qtext(o.directory));
  s.writeInt(sec, bp::key::kInvert, o.invert ? 1 : 0);
  s.writeInt(sec, bp::key::kRemote, o.remote ? 1 : 0);
  s.writeString(sec, bp::key::kSelectionFilters, qtext(o.selectionFilters));
  if (o.remote) {
    s.writeString(sec, bp::key::kServerName, qtext(o.serverName));
    s.writeString(sec, bp::key::kServerAddress, qtext(o.serverAddress));
    s.writeInt(sec, bp::key::kCopies, int(o.copies));
    s.writeInt(sec, bp::key::kPlotter, int(o.plotter));
    s.writeString(sec, bp::key::kSize, qtext(o.size));
    s.writeString(sec, bp::key::kDataListName, qtext(o.dataListName));
    s.writeString(sec, bp::key::kReserved1, qtext(o.reserved1));
  }
  s.sync();
}

}  // namespace hv::viewer
