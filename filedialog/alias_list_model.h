#pragma once
// The alias list: the sound entries of the folder's index by long name, with
// the columns "Name", "Size", "Type", "Modifed", in index order or sorted by
// real or long name. Editing a name asks the dialog to rename the entry.
#include <QAbstractTableModel>
#include <QIcon>
#include <QVector>

class CConvertFile;
class CConvertFileRec;

class AliasListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { NameColumn, SizeColumn, TypeColumn, ModifiedColumn, ColumnCount };

  explicit AliasListModel(const CConvertFile& index, QObject* parent = nullptr);

  // Rebuilds the rows from the index with the sort order of itemType.
  void refill(int itemType);
  // The index record of a row; -1 when the row does not exist.
  int recordOf(int row) const;
  int rowOfRecord(int record) const;
  const CConvertFileRec* entry(int row) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

 signals:
  // Emitted after the edit has closed (queued), so the dialog may refill.
  void renameRequested(const QString& oldName, const QString& newName);

 private:
  const CConvertFile& index_;
  QVector<int> rows_;  // record index of each row
  QIcon folderIcon_;
  QIcon fileIcon_;
};
