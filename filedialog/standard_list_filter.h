#pragma once
// The filter between the dialog's file system model and its standard list:
// hides DOCFILES.IDX and dsinfo.txt, JMX.HOL and UPLOAD.DAT unless shown,
// names matched by the exclusion list, and in the folder shown the members
// of its index. Sorting stays with the file system model (folders first, its
// natural order), so the filter never reorders rows.
#include <QPersistentModelIndex>
#include <QSet>
#include <QSortFilterProxyModel>
#include <QStringList>

class StandardListFilter : public QSortFilterProxyModel {
  Q_OBJECT

 public:
  using QSortFilterProxyModel::QSortFilterProxyModel;

  // Members (short names, compared upper-cased) of the folder at root.
  void setMembers(const QPersistentModelIndex& root, QSet<QString> upperCasedMembers);
  void setOptions(bool showJmxHoll, bool showUploadDat, bool excludeOn, const QStringList& excludeList);

  void sort(int column, Qt::SortOrder order) override;

  // True when the exclusion list hides name. An entry that starts with '.'
  // matches names ending in it, an entry with '*', '?' or '[' is a shell
  // pattern, any other entry matches the whole name; all ignoring case.
  static bool excluded(const QString& name, const QStringList& list);

 protected:
  bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

 private:
  QPersistentModelIndex root_;
  QSet<QString> members_;
  bool showJmxHoll_ = false;
  bool showUploadDat_ = false;
  bool excludeOn_ = false;
  QStringList excludeList_;
};
