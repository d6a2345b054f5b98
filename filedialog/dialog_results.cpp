// Completing the dialog and the accessors of its results and of the index
// of the folder shown.
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <sys/stat.h>

#include "docindex/docfiles_cache.h"
#include "docindex/docfiles_translate.h"
#include "filedialog/alias_list_model.h"
#include "filedialog/dialog_messages.h"
#include "filedialog/image_file_dialog.h"

namespace {

QString withSlash(const QString& folder) { return folder.endsWith(u'/') ? folder : folder + u'/'; }

bool existsAsWritten(const QByteArray& path) {
  struct stat st {};
  return ::lstat(path.constData(), &st) == 0;
}

// The short name of the sound record of folder's index whose long name, as
// shown, equals name ignoring case (the bytes as stored when the name is
// not valid UTF-8); empty when there is none.
QByteArray shortNameIn(const QByteArray& folder, const QString& name) {
  auto path = hv::docindex::indexPath(folder.toStdString());
  if (!path) return {};
  auto records = hv::docindex::cachedIndex(*path);
  if (!records) return {};
  for (const auto& r : *records) {
    if (!r.usable()) continue;
    if (DecodeLongName(QByteArray::fromStdString(r.longName())).compare(name, Qt::CaseInsensitive) == 0)
      return QByteArray::fromStdString(r.shortName());
  }
  return {};
}

}  // namespace

QStringList CImageFileDialog::typedNames() const {
  QStringList names;
  if (nameEdit_ == nullptr) return names;
  const QString text = nameEdit_->text();
  if (!text.contains(u'"')) {
    if (!text.trimmed().isEmpty()) names << text;
    return names;
  }
  qsizetype at = 0;
  while (true) {
    const qsizetype open = text.indexOf(u'"', at);
    if (open < 0) break;
    const qsizetype close = text.indexOf(u'"', open + 1);
    if (close < 0) break;
    if (close > open + 1) names << text.mid(open + 1, close - open - 1);
    at = close + 1;
  }
  return names;
}

void CImageFileDialog::UpdateSaveAsName(bool show) {
  const int filter = static_cast<int>(nameFilters().indexOf(selectedNameFilter())) + 1;
  if (filter < 1 || filter > filterPatterns_.size()) return;
  const QString pattern = filterPatterns_[filter - 1].section(u';', 0, 0).trimmed();
  const qsizetype dot = pattern.lastIndexOf(u'.');
  if (dot < 0) return;
  const QString extension = pattern.mid(dot);
  if (extension.contains(u'*') || extension.contains(u'?')) return;
  QString name = show && nameEdit_ != nullptr ? nameEdit_->text() : saveAsName_;
  if (name.isEmpty()) return;
  const qsizetype nameDot = name.lastIndexOf(u'.');
  if (nameDot > name.lastIndexOf(u'/')) name.truncate(nameDot);
  saveAsName_ = name + extension;
  if (show && nameEdit_ != nullptr) nameEdit_->setText(saveAsName_);
}

bool CImageFileDialog::HandleOK() {
  const QString folder = currentFolder();
  const QStringList names = typedNames();

  // Entries of the alias list, chosen there or typed by long name.
  if (index_.exists() && !names.isEmpty()) {
    QList<int> records;
    for (const QString& name : names) {
      const int r = index_.findLongName(name);
      if (r < 0) break;
      records << r;
    }
    if (records.size() == names.size()) {
      const CConvertFileRec& first = index_.records()[records.first()];
      if (dialogType_ == SelectFolder) {
        if (records.size() == 1 && first.isFolder()) {
          finishWithRealPaths({}, folder + first.shortName() + u'/');
          return true;
        }
        ShowDialogMessage(this, QStringLiteral("You may only select a folder and not a file."));
        return false;
      }
      if (records.size() == 1 && first.isFolder()) {
        enterFolder(folder + first.shortName());
        return false;
      }
      QStringList paths;
      for (int r : records)
        if (!index_.records()[r].isFolder()) paths << folder + index_.records()[r].shortName();
      if (paths.isEmpty()) return false;
      if (dialogType_ == SaveAs) {
        paths = paths.mid(0, 1);
        if ((flags_ & OverwritePrompt) &&
            !AskDialogQuestion(this, QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(first.longName()),
                               windowTitle()))
          return false;
      }
      finishWithRealPaths(paths, folder);
      return true;
    }
  }

  // A path typed with long names for its folders.
  if (names.size() == 1 && names.first().contains(u'/')) {
    const QString typed = QDir::isAbsolutePath(names.first()) ? names.first() : folder + names.first();
    const QString real = TranslateBogusPath(typed);
    if (real != typed) {
      QFileInfo info(real);
      if (info.isDir() && dialogType_ != SelectFolder) {
        enterFolder(real);
        return false;
      }
      if (info.isDir()) {
        finishWithRealPaths({}, withSlash(info.absoluteFilePath()));
        return true;
      }
      if (info.exists() && dialogType_ != SelectFolder) {
        finishWithRealPaths({info.absoluteFilePath()}, withSlash(info.absolutePath()));
        return true;
      }
    }
  }

  if (dialogType_ == SelectFolder) {
    if (names.isEmpty()) {
      finishWithRealPaths({}, folder);
      return true;
    }
    QFileInfo info(QDir::isAbsolutePath(names.first()) ? names.first() : folder + names.first());
    if (info.exists() && !info.isDir()) {
      ShowDialogMessage(this, QStringLiteral("You may only select a folder and not a file."));
      return false;
    }
  }
  if (dialogType_ == SaveAs && names.size() == 1 && nameEdit_ != nullptr) {
    saveAsName_ = names.first();
    UpdateSaveAsName(true);
  }
  completed_ = false;
  QFileDialog::accept();
  return completed_;
}

void CImageFileDialog::accept() { HandleOK(); }

void CImageFileDialog::finishWithRealPaths(const QStringList& paths, const QString& folder) {
  realPaths_ = paths;
  endFolder_ = folder;
  resultsFromAlias_ = true;
  QDialog::accept();
}

void CImageFileDialog::done(int result) {
  if (result == QDialog::Accepted) {
    completed_ = true;
    if (!resultsFromAlias_) {
      realPaths_ = selectedFiles();
      if (dialogType_ == SelectFolder) {
        endFolder_ = withSlash(realPaths_.isEmpty() ? directory().absolutePath() : realPaths_.first());
        realPaths_.clear();
      } else {
        endFolder_ = currentFolder();
      }
    }
  } else {
    realPaths_.clear();
    endFolder_ = currentFolder();
  }
  resultsFromAlias_ = false;
  filterIndex_ = std::max(1, static_cast<int>(nameFilters().indexOf(selectedNameFilter())) + 1);
  QFileDialog::done(result);
}

QString CImageFileDialog::GetCurrentWorkingDirectory() const {
  return endFolder_.isEmpty() ? currentFolder() : endFolder_;
}

int CImageFileDialog::GetOptiFileCount() const { return static_cast<int>(realPaths_.size()); }

QString CImageFileDialog::GetOptiFilenameByIndex(int index) const { return realPaths_.value(index); }

int CImageFileDialog::GetFileTypeIndex() const { return filterIndex_; }

QString CImageFileDialog::GetRealFileName(const QString& longName) const {
  const int r = index_.findLongName(longName);
  return r < 0 ? QString() : index_.records()[r].shortName();
}

QString CImageFileDialog::GetRealFileNameByPath(const QString& folder, const QString& longName) const {
  if (withSlash(QDir::cleanPath(QDir(folder).absolutePath())) == shownFolder_) return GetRealFileName(longName);
  return QFile::decodeName(shortNameIn(QFile::encodeName(withSlash(folder)), longName));
}

QString CImageFileDialog::GetRealFileNameByItem(int item) const {
  const CConvertFileRec* rec = aliasModel_->entry(item);
  return rec == nullptr ? QString() : rec->shortName();
}

QString CImageFileDialog::GetLongFileName(const QString& shortName) const {
  const int r = index_.findShortName(shortName);
  return r < 0 ? QString() : index_.records()[r].longName();
}

QChar CImageFileDialog::GetRealFileTypeByName(const QString& longName) const {
  const int r = index_.findLongName(longName);
  return r < 0 ? QChar() : QChar::fromLatin1(index_.records()[r].access());
}

QChar CImageFileDialog::GetRealFileTypeByItem(int item) const {
  const CConvertFileRec* rec = aliasModel_->entry(item);
  return rec == nullptr ? QChar() : QChar::fromLatin1(rec->access());
}

bool CImageFileDialog::IsMemberFile(const QString& shortName) const { return index_.findShortName(shortName) >= 0; }

QString CImageFileDialog::TranslateBogusPath(const QString& path) {
  // Walks the path component by component: a component that exists as
  // written stays, any other is looked up by long name in the index of the
  // real folder built so far. Only sound records are used, so the result
  // never leaves the folders the path names.
  const QStringList parts = path.split(u'/');
  QByteArray real;
  for (qsizetype i = 0; i < parts.size(); ++i) {
    const QString& part = parts[i];
    if (i > 0) real += '/';
    if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String("..")) {
      real += QFile::encodeName(part);
      continue;
    }
    const QByteArray folder = real.isEmpty() ? QByteArray("./") : real;
    const QByteArray asWritten = real + QFile::encodeName(part);
    if (!existsAsWritten(asWritten)) {
      const QByteArray shortName = shortNameIn(folder, part);
      if (!shortName.isEmpty()) {
        real += shortName;
        continue;
      }
    }
    real += QFile::encodeName(part);
  }
  return QFile::decodeName(real);
}
