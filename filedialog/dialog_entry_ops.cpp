// Changing the folder's entries from the dialog: new alias folders, renaming
// by label editing, deleting entries, and writing the index.
#include <QDir>
#include <QFile>
#include <QProgressDialog>
#include <QSet>
#include <QTreeView>
#include <cerrno>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "docindex/docfiles_layout.h"
#include "docindex/docfiles_record.h"
#include "filedialog/alias_list_model.h"
#include "filedialog/dialog_messages.h"
#include "filedialog/image_file_dialog.h"
#include "platform/file_delete.h"
#include "platform/name_lookup.h"
#include "platform/safe_rewrite.h"

namespace {

constexpr int kMaxOptiNumber = 9999;

// Removes what folder + name holds without following a symbolic link: a
// link is removed itself, a folder with everything inside it, a file only
// when it is writable (a read-only file is kept, as the system's delete
// does). 0 or the errno value.
int removeOnDisk(const QByteArray& path) {
  struct stat st {};
  if (::lstat(path.constData(), &st) != 0) return errno == ENOENT ? 0 : errno;
  if (S_ISLNK(st.st_mode)) return ::unlink(path.constData()) == 0 ? 0 : errno;
  if (S_ISDIR(st.st_mode)) {
    errno = 0;
    if (DeleteFolderTree(path.constData()) == 0) return errno != 0 ? errno : EIO;
    return ::rmdir(path.constData()) == 0 ? 0 : errno;
  }
  if (!S_ISREG(st.st_mode)) return EPERM;
  if ((st.st_mode & S_IWUSR) == 0) return EACCES;
  return ::unlink(path.constData()) == 0 ? 0 : errno;
}

QByteArray nativeName(const QString& name) { return QFile::encodeName(name); }

}  // namespace

bool CImageFileDialog::WriteConvertFile() {
  const bool ok = index_.Write();
  refreshAliasList();
  return ok;
}

bool CImageFileDialog::AppendConvertFile(const CConvertFileRec& record) {
  if (!index_.Append(record)) return false;
  loadedStamp_ = indexStamp();
  aliasModel_->refill(itemType_);
  const int row = aliasModel_->rowOfRecord(static_cast<int>(index_.records().size()) - 1);
  if (row >= 0) {
    const QModelIndex idx = aliasModel_->index(row, 0);
    aliasDetails_->selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect |
                                                              QItemSelectionModel::Rows);
    activeAliasView()->scrollTo(idx);
  }
  return true;
}

bool CImageFileDialog::CreateAliasFolder() {
  if (!index_.exists()) return false;
  refreshAliasList();  // the index as it is now, with entries others added
  const QString base = QStringLiteral("New Folder");
  QString longName = base;
  for (int n = 2; index_.findLongName(longName) >= 0; ++n) longName = QStringLiteral("%1 (%2)").arg(base).arg(n);

  const QByteArray folder = nativeName(shownFolder_);
  QSet<QByteArray> taken;
  for (const auto& rec : index_.records()) taken.insert(rec.shortNameBytes().toUpper());
  int number = index_.GetNextOptiNumber();
  QByteArray shortName;
  int error = EEXIST;
  for (; number <= kMaxOptiNumber; ++number) {
    shortName = QString::asprintf("%s%04d.%s", "OPTI", number, "ALS").toLatin1();
    if (taken.contains(shortName)) continue;
    if (::mkdir((folder + shortName).constData(), 0777) == 0) {
      error = 0;
      break;
    }
    error = errno;
    if (error != EEXIST) break;
  }
  if (error == EEXIST) {
    ShowDialogMessage(this, QStringLiteral("Unable to create a new folder: every OPTI name of this folder is in use."));
    return false;
  }
  if (error != 0) {
    ShowDialogMessage(this, SystemErrorText(error));
    return false;
  }
  const QByteArray created = folder + shortName;
  const std::string inner = std::string(created.constData()) + "/" + hv::docindex::layout::kIndexName;
  if (hv::platform::rewriteFileSafely(inner, {}, 0444) != hv::Status::Ok) {
    const int e = errno;
    ::rmdir(created.constData());
    ShowDialogMessage(this, SystemErrorText(e));
    return false;
  }
  CConvertFileRec record(longName.toUtf8(), shortName, 'D');
  record.SetFolderStatusNow();
  if (!AppendConvertFile(record)) {
    const int e = errno != 0 ? errno : EIO;
    ::unlink(inner.c_str());
    ::rmdir(created.constData());
    ShowDialogMessage(this, SystemErrorText(e));
    refreshAliasList();
    return false;
  }
  const QModelIndex current = aliasDetails_->selectionModel()->currentIndex();
  if (current.isValid() && isVisible()) activeAliasView()->edit(current);
  return true;
}

bool CImageFileDialog::RenameEntry(const QString& oldName, const QString& newName) {
  if (newName.isEmpty() || newName == oldName) return false;
  if (!index_.exists() || index_.records().isEmpty()) return false;
  const QByteArray newBytes = EncodeLongName(newName);
  const QString shown = DecodeLongName(newBytes);
  const int old = index_.findLongName(oldName);
  const int other = index_.findLongName(shown);
  if (other >= 0 && other != old) {
    ShowDialogMessage(this,
                      QStringLiteral("Cannot rename %1. A file with the name you specified already exists. "
                                     "Specify a different filename.")
                          .arg(oldName),
                      QStringLiteral("Error Renaming File"));
    return false;
  }
  if (old < 0) {
    // Not an entry of the index: the real file of that name is renamed.
    const QByteArray from = nativeName(shownFolder_ + oldName);
    const QByteArray to = nativeName(shownFolder_ + shown);
    struct stat st {};
    if (!hv::docindex::isPlainComponent(newBytes.toStdString()) || ::lstat(to.constData(), &st) == 0 ||
        ::rename(from.constData(), to.constData()) != 0) {
      ShowDialogMessage(this, QStringLiteral("Unable to change the name."));
      return false;
    }
    return true;
  }
  const std::string shortName = index_.records()[old].shortNameBytes().toStdString();
  const std::string oldBytes = index_.records()[old].longNameBytes().toStdString();
  const std::string wanted = newBytes.toStdString();
  bool taken = false;
  const bool ok = index_.Edit([&](std::vector<hv::docindex::DocFileRecord>& records) {
    hv::docindex::DocFileRecord* target = nullptr;
    for (auto& r : records) {
      if (!r.usable()) continue;
      const bool same = r.shortName() == shortName && r.longName() == oldBytes;
      if (same && target == nullptr) {
        target = &r;
      } else if (hv::platform::equalsIgnoringCase(r.longName(), wanted)) {
        taken = true;
        return false;
      }
    }
    return target != nullptr && target->setLongName(wanted) == hv::Status::Ok;
  });
  loadedStamp_ = indexStamp();
  aliasModel_->refill(itemType_);
  if (taken) {
    ShowDialogMessage(this,
                      QStringLiteral("Cannot rename %1. A file with the name you specified already exists. "
                                     "Specify a different filename.")
                          .arg(oldName),
                      QStringLiteral("Error Renaming File"));
    return false;
  }
  if (!ok) {
    ShowDialogMessage(this, QStringLiteral("Unable to change the name."));
    return false;
  }
  const int renamed = index_.findLongName(shown);
  const int row = aliasModel_->rowOfRecord(renamed);
  if (row >= 0)
    aliasDetails_->selectionModel()->setCurrentIndex(aliasModel_->index(row, 0),
                                                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  return true;
}

bool CImageFileDialog::DeleteByLongName(const QString& longName) {
  const int r = index_.findLongName(longName);
  if (r < 0) return false;
  const int row = aliasModel_->rowOfRecord(r);
  aliasDetails_->selectionModel()->select(aliasModel_->index(row, 0),
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  return DeleteSelectedItems();
}

bool CImageFileDialog::DeleteSelectedItems() {
  const QList<int> rows = selectedRecordRows();
  if (rows.isEmpty()) return false;
  QList<CConvertFileRec> chosen;
  for (int r : rows) chosen << index_.records()[r];

  QProgressDialog progress(QStringLiteral("Deleting..."), QString(), 0, static_cast<int>(chosen.size()), this);
  progress.setWindowTitle(QStringLiteral("Deleting Items from Opti Structure"));
  progress.setMinimumDuration(800);
  progress.setWindowModality(Qt::WindowModal);

  std::set<std::pair<std::string, std::string>> removed;  // short and long name bytes
  bool ok = true;
  for (const CConvertFileRec& rec : chosen) {
    progress.setLabelText(rec.longName());
    const int error = removeOnDisk(nativeName(shownFolder_) + rec.shortNameBytes());
    if (error != 0) {
      ShowDialogMessage(this, SystemErrorText(error));
      ok = false;
      break;
    }
    removed.insert({rec.shortNameBytes().toStdString(), rec.longNameBytes().toStdString()});
    progress.setValue(progress.value() + 1);
  }
  if (!removed.empty()) {
    const bool stored = index_.Edit([&](std::vector<hv::docindex::DocFileRecord>& records) {
      std::vector<hv::docindex::DocFileRecord> kept;
      kept.reserve(records.size());
      for (auto& r : records)
        if (!r.usable() || removed.count({r.shortName(), r.longName()}) == 0) kept.push_back(r);
      records.swap(kept);
      return true;
    });
    loadedStamp_ = indexStamp();
    if (!stored) {
      ShowDialogMessage(this, SystemErrorText(errno != 0 ? errno : EIO));
      ok = false;
    }
  }
  aliasModel_->refill(itemType_);
  refreshAliasList();
  return ok;
}
