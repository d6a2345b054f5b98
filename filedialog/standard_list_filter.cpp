#include "filedialog/standard_list_filter.h"

#include <QFileSystemModel>
#include <QRegularExpression>

void StandardListFilter::setMembers(const QPersistentModelIndex& root, QSet<QString> upperCasedMembers) {
  root_ = root;
  members_ = std::move(upperCasedMembers);
  invalidateFilter();
}

void StandardListFilter::setOptions(bool showJmxHoll, bool showUploadDat, bool excludeOn,
                                    const QStringList& excludeList) {
  showJmxHoll_ = showJmxHoll;
  showUploadDat_ = showUploadDat;
  excludeOn_ = excludeOn;
  excludeList_ = excludeList;
  invalidateFilter();
}

void StandardListFilter::sort(int column, Qt::SortOrder order) {
  if (sourceModel() != nullptr) sourceModel()->sort(column, order);
}

bool StandardListFilter::excluded(const QString& name, const QStringList& list) {
  for (const QString& entry : list) {
    if (entry.isEmpty()) continue;
    if (entry.startsWith(u'.')) {
      if (name.endsWith(entry, Qt::CaseInsensitive)) return true;
    } else if (entry.contains(u'*') || entry.contains(u'?') || entry.contains(u'[')) {
      QRegularExpression re(QRegularExpression::wildcardToRegularExpression(entry),
                            QRegularExpression::CaseInsensitiveOption);
      if (re.match(name).hasMatch()) return true;
    } else if (name.compare(entry, Qt::CaseInsensitive) == 0) {
      return true;
    }
  }
  return false;
}

bool StandardListFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
  const QModelIndex index = sourceModel()->index(sourceRow, 0, sourceParent);
  const QString name = index.data(QFileSystemModel::FileNameRole).toString();
  if (name.compare(QLatin1String("DOCFILES.IDX"), Qt::CaseInsensitive) == 0 ||
      name.compare(QLatin1String("dsinfo.txt"), Qt::CaseInsensitive) == 0)
    return false;
  if (!showJmxHoll_ && name.compare(QLatin1String("JMX.HOL"), Qt::CaseInsensitive) == 0) return false;
  if (!showUploadDat_ && name.compare(QLatin1String("UPLOAD.DAT"), Qt::CaseInsensitive) == 0) return false;
  if (!members_.isEmpty() && sourceParent == root_ && members_.contains(name.toUpper())) return false;
  if (excludeOn_ && excluded(name, excludeList_) &&
      !static_cast<const QFileSystemModel*>(sourceModel())->isDir(index))
    return false;
  return true;
}
