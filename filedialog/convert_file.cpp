#include "filedialog/convert_file.h"

#include <QFile>
#include <QIODevice>
#include <QLocale>
#include <sys/stat.h>

#include "docindex/docfiles_cache.h"
#include "docindex/docfiles_translate.h"
#include "platform/file_lock.h"
#include "platform/safe_rewrite.h"

namespace layout = hv::docindex::layout;
using hv::docindex::DocFileRecord;
using RecordVector = std::vector<DocFileRecord>;

namespace {

QString withSlash(const QString& folder) {
  if (folder.isEmpty()) return QStringLiteral("./");
  return folder.endsWith(u'/') ? folder : folder + u'/';
}

std::string nativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

QString DecodeLongName(const QByteArray& bytes) {
  return bytes.isValidUtf8() ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

QByteArray EncodeLongName(const QString& name) {
  QByteArray bytes = name.toUtf8();
  if (bytes.size() <= static_cast<qsizetype>(layout::kLongNameSize)) return bytes;
  qsizetype cut = layout::kLongNameSize;
  // Step back over continuation bytes so that no character is split.
  while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80) --cut;
  return bytes.left(cut);
}

CConvertFileRec::CConvertFileRec(const DocFileRecord& record) : record_(record) {}

CConvertFileRec::CConvertFileRec(const QByteArray& longName, const QByteArray& shortName, char access)
    : record_(DocFileRecord::make(std::string_view(longName.constData(), longName.size()),
                                  std::string_view(shortName.constData(), shortName.size()), access, nullptr)) {}

bool CConvertFileRec::Serialize(QIODevice& device, bool storing) {
  if (storing) {
    const auto& bytes = record_.bytes();
    return device.write(bytes.data(), layout::kRecordSize) == static_cast<qint64>(layout::kRecordSize);
  }
  char buffer[layout::kRecordSize];
  qint64 got = 0;
  while (got < static_cast<qint64>(layout::kRecordSize)) {
    qint64 n = device.read(buffer + got, layout::kRecordSize - got);
    if (n <= 0) return false;
    got += n;
  }
  record_ = DocFileRecord::fromBytes(buffer);
  return true;
}

QByteArray CConvertFileRec::longNameBytes() const { return QByteArray::fromStdString(record_.longName()); }
QByteArray CConvertFileRec::shortNameBytes() const { return QByteArray::fromStdString(record_.shortName()); }
QString CConvertFileRec::shortName() const { return QFile::decodeName(shortNameBytes()); }

void CConvertFileRec::ReadStatus(const QString& folder) { ReadStatusIn(QFile::encodeName(withSlash(folder))); }

void CConvertFileRec::ReadStatusIn(const QByteArray& nativeFolder) {
  typeText_.clear();
  sizeText_.clear();
  modified_ = -1;
  modifiedFormatted_ = false;
  struct stat st {};
  const std::string path = nativeFolder.toStdString() + record_.shortName();
  if (::stat(path.c_str(), &st) != 0) return;
  modified_ = st.st_mtim.tv_sec;
  if (S_ISDIR(st.st_mode)) {
    typeText_ = QStringLiteral("File Folder");
    return;
  }
  sizeText_ = QString::asprintf("%9.0fKB", static_cast<double>(st.st_size) / 1024.0);
  const QString name = shortName();
  if (name.contains(u'.')) typeText_ = name.right(3).toUpper() + QStringLiteral(" file");
}

void CConvertFileRec::SetFolderStatusNow() {
  typeText_ = QStringLiteral("File Folder");
  sizeText_.clear();
  modified_ = QDateTime::currentSecsSinceEpoch();
  modifiedFormatted_ = false;
}

const QString& CConvertFileRec::modifiedText() const {
  if (!modifiedFormatted_) {
    modifiedFormatted_ = true;
    modifiedText_.clear();
    if (modified_ >= 0) {
      // Converted when first shown: local time conversion is the dearest
      // step of listing a big folder.
      const QDateTime when = QDateTime::fromSecsSinceEpoch(modified_);
      QLocale locale;
      modifiedText_ = locale.toString(when.date(), QLocale::ShortFormat) + u' ' +
                      locale.toString(when.time(), QLocale::ShortFormat);
    }
  }
  return modifiedText_;
}

bool CConvertFile::Open(const QString& folder) {
  Close();
  folder_ = withSlash(folder);
  auto path = hv::docindex::indexPath(nativePath(folder_));
  if (!path) return false;
  path_ = QFile::decodeName(QByteArray::fromStdString(*path));
  RecordVector records;
  bool exists = false;
  if (hv::docindex::readIndexFresh(*path, records, exists) != hv::Status::Ok || !exists) return false;
  exists_ = true;
  records_.reserve(static_cast<qsizetype>(records.size()));
  const QByteArray nativeFolder = QFile::encodeName(folder_);
  for (const auto& r : records) {
    CConvertFileRec rec(r);
    if (rec.sound()) rec.ReadStatusIn(nativeFolder);
    records_.push_back(std::move(rec));
  }
  return true;
}

void CConvertFile::Close() {
  exists_ = false;
  path_.clear();
  records_.clear();
}

int CConvertFile::GetNextOptiNumber() const {
  if (records_.isEmpty()) return 0;
  int largest = 0;
  bool any = false;
  for (const auto& rec : records_) {
    const QByteArray name = rec.shortNameBytes();
    if (name.size() < 4 || qstrnicmp(name.constData(), "OPTI", 4) != 0) continue;
    any = true;
    int number = 0;
    for (int i = 4; i < 8 && i < name.size() && name[i] >= '0' && name[i] <= '9'; ++i)
      number = number * 10 + (name[i] - '0');
    largest = std::max(largest, number);
  }
  return any ? largest + 1 : 1;
}

int CConvertFile::findLongName(const QString& longName) const {
  for (qsizetype i = 0; i < records_.size(); ++i)
    if (records_[i].sound() && records_[i].longName().compare(longName, Qt::CaseInsensitive) == 0)
      return static_cast<int>(i);
  return -1;
}

int CConvertFile::findShortName(const QString& shortName) const {
  for (qsizetype i = 0; i < records_.size(); ++i)
    if (records_[i].sound() && records_[i].shortName().compare(shortName, Qt::CaseInsensitive) == 0)
      return static_cast<int>(i);
  return -1;
}

bool CConvertFile::storeLocked(RecordVector records) {
  const std::string path = nativePath(path_);
  if (!records.empty()) return hv::docindex::storeIndex(path, std::move(records)) == hv::Status::Ok;
  // The store removes an index that lost its last record; the dialog keeps
  // an empty one so that the folder stays an alias folder.
  return hv::platform::rewriteFileSafely(path, {}, 0444) == hv::Status::Ok;
}

bool CConvertFile::Write() {
  if (path_.isEmpty()) return false;
  hv::platform::FolderLock lock(nativePath(folder_));
  if (lock.status() != hv::Status::Ok) return false;
  RecordVector records;
  records.reserve(static_cast<std::size_t>(records_.size()));
  for (const auto& rec : records_) records.push_back(rec.record());
  if (!storeLocked(std::move(records))) return false;
  exists_ = true;
  return true;
}

bool CConvertFile::Append(const CConvertFileRec& record) {
  if (path_.isEmpty() || !record.sound() || record.shortNameBytes().size() > 12) return false;
  hv::platform::FolderLock lock(nativePath(folder_));
  if (lock.status() != hv::Status::Ok) return false;
  RecordVector records;
  bool exists = false;
  if (hv::docindex::readIndexFresh(nativePath(path_), records, exists) != hv::Status::Ok) return false;
  records.push_back(record.record());
  if (!storeLocked(std::move(records))) return false;
  exists_ = true;
  records_.push_back(record);
  return true;
}

bool CConvertFile::Edit(const std::function<bool(RecordVector&)>& edit) {
  if (path_.isEmpty()) return false;
  bool ok = false;
  {
    hv::platform::FolderLock lock(nativePath(folder_));
    if (lock.status() != hv::Status::Ok) return false;
    RecordVector records;
    bool exists = false;
    if (hv::docindex::readIndexFresh(nativePath(path_), records, exists) != hv::Status::Ok) return false;
    if (!edit(records)) return false;
    ok = storeLocked(std::move(records));
  }
  reloadAfterWrite();
  return ok;
}

void CConvertFile::reloadAfterWrite() {
  const QString folder = folder_;
  Open(folder);
}
