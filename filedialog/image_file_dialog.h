#pragma once
// The image file dialog: a non-native QFileDialog whose standard list hides
// the short-named members of a folder's DOCFILES.IDX (and the index itself,
// dsinfo.txt, JMX.HOL, UPLOAD.DAT and excluded names), with the alias list
// beside it showing those members by their long names. Whatever the user
// picks, the caller gets the real (stored) paths back.
#include <QFileDialog>
#include <QPointer>
#include <QStringList>

#include "filedialog/convert_file.h"
#include "filedialog/tarnwick_export.h"

class QAbstractItemView;
class QFileSystemModel;
class QFileSystemWatcher;
class QTimer;
class QLineEdit;
class QListView;
class QModelIndex;
class QStackedWidget;
class QTreeView;
class QWidget;
class AliasListModel;
class COptiToolBar;
class StandardListFilter;

class TARNWICK_EXPORT CImageFileDialog : public QFileDialog {
  Q_OBJECT

 public:
  enum DialogType { Open = 0, Print = 1, Delete = 2, SelectFolder = 3, SaveAs = 4 };
  enum ItemType { IndexOrder = 0, ByRealName = 1, ByLongName = 2 };
  enum Flag {
    Resizable = 0x1,
    HideReadOnly = 0x2,
    OverwritePrompt = 0x4,
    AllowMultiSelect = 0x8,
  };
  Q_DECLARE_FLAGS(Flags, Flag)
  enum class AliasView { Details, LargeIcons, SmallIcons };

  CImageFileDialog(int dialogType, const QString& defaultExtension, const QString& fileName, Flags flags,
                   const QString& filter, QWidget* parent, const QString& initialFolder, const QString& title,
                   int itemType, const QString& highlightName);
  ~CImageFileDialog() override;

  int DoModal();

  // Results, valid after the dialog closed.
  QString GetCurrentWorkingDirectory() const;  // ends with '/'
  int GetOptiFileCount() const;
  QString GetOptiFilenameByIndex(int index) const;  // absolute real path
  int GetFileTypeIndex() const;                     // 1-based

  // The current folder's index. Names are the long names as shown.
  QString GetRealFileName(const QString& longName) const;
  QString GetRealFileNameByPath(const QString& folder, const QString& longName) const;
  QString GetRealFileNameByItem(int item) const;  // item: row of the alias list
  QString GetLongFileName(const QString& shortName) const;
  QChar GetRealFileTypeByName(const QString& longName) const;
  QChar GetRealFileTypeByItem(int item) const;
  bool IsMemberFile(const QString& shortName) const;

  // A path whose components may be long names, as the real path (each
  // folder's index translates its component).
  static QString TranslateBogusPath(const QString& path);

  // Loads folder's index and fills the alias list (shown only when the
  // folder has an index); nothing happens when the folder is the one shown,
  // unless force.
  bool ProcCurrentFolder(const QString& folder, bool force = false);

  // Deletes the entry of that long name (file or alias folder with its
  // contents) and its record; the selected entries of the alias list.
  bool DeleteByLongName(const QString& longName);
  bool DeleteSelectedItems();

  // Completes the dialog with the current selection: false when the dialog
  // stays open (a folder was entered, or the choice was refused).
  bool HandleOK();

  void Set_ShowJMXHoll(bool show);
  void Set_ShowUploadDatFiles(bool show);
  void Set_ExcludeFileExtensions(bool on, const QStringList& list = {});

  bool WriteConvertFile();
  bool AppendConvertFile(const CConvertFileRec& record);

  // The alias folder made by "New Folder" (its long name editing starts);
  // false with the failure shown.
  bool CreateAliasFolder();
  // End of label editing of an entry.
  bool RenameEntry(const QString& oldName, const QString& newName);

  void SetAliasView(AliasView view);
  AliasView aliasView() const { return aliasView_; }
  int dialogType() const { return dialogType_; }
  int itemType() const { return itemType_; }
  const CConvertFile& convertFile() const { return index_; }
  int aliasCount() const;
  QString saveAsName() const { return saveAsName_; }
  // Gives the save-as name the extension of the chosen filter.
  void UpdateSaveAsName(bool show);

  void accept() override;
  void done(int result) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildAliasPanel();
  void applyListingOptions();
  void aliasSelectionChanged();
  void aliasActivated(const QModelIndex& index);
  void standardSelectionChanged();
  void showAliasContextMenu(const QPoint& at);
  void enterFolder(const QString& folder);
  void selectHighlight();
  QStringList typedNames() const;
  QString currentFolder() const;
  void finishWithRealPaths(const QStringList& paths, const QString& folder);
  QList<int> selectedRecordRows() const;
  QAbstractItemView* activeAliasView() const;
  void refreshAliasList();
  void indexMayHaveChanged();
  QByteArray indexStamp() const;
  bool removeEntryOnDisk(const CConvertFileRec& rec);

  int dialogType_ = Open;
  int itemType_ = IndexOrder;
  Flags flags_;
  QString filterText_;
  QStringList filterPatterns_;  // the pattern field of each filter, in order
  QString saveAsName_;
  QString highlightName_;
  QString shownFolder_;  // the folder whose index the alias list shows
  bool showJmxHoll_ = false;
  bool showUploadDat_ = false;
  bool excludeOn_ = false;
  QStringList excludeList_;

  CConvertFile index_;
  AliasListModel* aliasModel_ = nullptr;
  StandardListFilter* standardFilter_ = nullptr;
  QFileSystemModel* fsModel_ = nullptr;
  QWidget* aliasPanel_ = nullptr;
  QStackedWidget* aliasStack_ = nullptr;
  QTreeView* aliasDetails_ = nullptr;
  QListView* aliasIcons_ = nullptr;
  COptiToolBar* toolBar_ = nullptr;
  QLineEdit* nameEdit_ = nullptr;
  AliasView aliasView_ = AliasView::Details;
  bool settingNameFromAlias_ = false;
  // Other programs may change the index while the dialog is open: the
  // folder is watched and the alias list reloaded when the index changed.
  QFileSystemWatcher* watcher_ = nullptr;
  QTimer* reloadTimer_ = nullptr;
  QByteArray loadedStamp_;

  // Results.
  bool resultsFromAlias_ = false;
  bool completed_ = false;
  QStringList realPaths_;
  QString endFolder_;
  int filterIndex_ = 1;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(CImageFileDialog::Flags)
