#include "filedialog/alias_list_model.h"

#include <QApplication>
#include <QStyle>
#include <algorithm>

#include "filedialog/convert_file.h"

AliasListModel::AliasListModel(const CConvertFile& index, QObject* parent)
    : QAbstractTableModel(parent), index_(index) {
  folderIcon_ = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
  fileIcon_ = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
}

void AliasListModel::refill(int itemType) {
  beginResetModel();
  rows_.clear();
  const auto& records = index_.records();
  rows_.reserve(records.size());
  for (qsizetype i = 0; i < records.size(); ++i)
    if (records[i].sound()) rows_.push_back(static_cast<int>(i));
  if (itemType == 1 || itemType == 2) {
    // Sort keys once: comparing decoded names in the sort itself would
    // decode each name log(n) times.
    QVector<QString> keys(records.size());
    for (int r : rows_) keys[r] = itemType == 1 ? records[r].shortName() : records[r].longName();
    std::stable_sort(rows_.begin(), rows_.end(), [&](int a, int b) {
      return keys[a].compare(keys[b], Qt::CaseInsensitive) < 0;
    });
  }
  endResetModel();
}

int AliasListModel::recordOf(int row) const { return row >= 0 && row < rows_.size() ? rows_[row] : -1; }

int AliasListModel::rowOfRecord(int record) const { return static_cast<int>(rows_.indexOf(record)); }

const CConvertFileRec* AliasListModel::entry(int row) const {
  int r = recordOf(row);
  return r < 0 || r >= index_.records().size() ? nullptr : &index_.records()[r];
}

int AliasListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int AliasListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant AliasListModel::data(const QModelIndex& index, int role) const {
  const CConvertFileRec* rec = entry(index.row());
  if (rec == nullptr) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      switch (index.column()) {
        case NameColumn: return rec->longName();
        case SizeColumn: return rec->sizeText().trimmed();
        case TypeColumn: return rec->typeText();
        case ModifiedColumn: return rec->modifiedText();
      }
      break;
    case Qt::DecorationRole:
      if (index.column() == NameColumn) return rec->isFolder() ? folderIcon_ : fileIcon_;
      break;
    case Qt::TextAlignmentRole:
      if (index.column() == SizeColumn) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
      break;
    case Qt::ToolTipRole:
      if (index.column() == NameColumn) return rec->longName();
      break;
  }
  return {};
}

QVariant AliasListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case NameColumn: return QStringLiteral("Name");
    case SizeColumn: return QStringLiteral("Size");
    case TypeColumn: return QStringLiteral("Type");
    case ModifiedColumn: return QStringLiteral("Modifed");
  }
  return {};
}

Qt::ItemFlags AliasListModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  if (index.isValid() && index.column() == NameColumn) f |= Qt::ItemIsEditable;
  return f;
}

bool AliasListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  const CConvertFileRec* rec = entry(index.row());
  if (role != Qt::EditRole || rec == nullptr || index.column() != NameColumn) return false;
  const QString oldName = rec->longName();
  const QString newName = value.toString();
  QMetaObject::invokeMethod(
      this, [this, oldName, newName] { emit renameRequested(oldName, newName); }, Qt::QueuedConnection);
  return false;
}
