#include "filedialog/image_file_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileSystemModel>
#include <QFileSystemWatcher>
#include <QTimer>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <sys/stat.h>

#include "docindex/docfiles_cache.h"
#include <QFile>
#include <QSet>
#include "docindex/docfiles_translate.h"
#include "filedialog/alias_list_model.h"
#include "filedialog/dialog_messages.h"
#include "filedialog/opti_filename_dlg.h"
#include "filedialog/opti_toolbar.h"
#include "filedialog/standard_list_filter.h"

namespace {

struct TypeTexts {
  const char* title;
  const char* ok;
};
constexpr TypeTexts kTypeTexts[] = {
    {"Open File(s)", "Open"},     {"Print File(s)", "Print"},     {"Delete File(s)", "Delete"},
    {"Select Folder", "Select"},  {"Save File As...", "Save"},
};

QString withSlash(const QString& folder) { return folder.endsWith(u'/') ? folder : folder + u'/'; }

// "Desc|pattern|Desc|pattern||" as Qt name filters ("Desc (patterns)") and
// the pattern field of each.
void parseFilter(const QString& text, QStringList& qtFilters, QStringList& patterns) {
  const QStringList fields = text.split(u'|');
  for (qsizetype i = 0; i + 1 < fields.size(); i += 2) {
    QString desc = fields[i].trimmed();
    const QString pattern = fields[i + 1].trimmed();
    if (desc.isEmpty() && pattern.isEmpty()) break;
    // A description that names its pattern already ("All Files (*.*)")
    // is shown without it; the pattern is added as Qt matches it.
    if (desc.endsWith(u')') && desc.contains(u'(')) desc = desc.left(desc.lastIndexOf(u'(')).trimmed();
    QStringList qtPatterns;
    for (const QString& p : pattern.split(u';', Qt::SkipEmptyParts)) {
      const QString t = p.trimmed();
      qtPatterns << (t == QLatin1String("*.*") ? QStringLiteral("*") : t);
    }
    if (qtPatterns.isEmpty()) qtPatterns << QStringLiteral("*");
    qtFilters << QStringLiteral("%1 (%2)").arg(desc.isEmpty() ? pattern : desc, qtPatterns.join(u' '));
    patterns << pattern;
  }
}

}  // namespace

CImageFileDialog::CImageFileDialog(int dialogType, const QString& defaultExtension, const QString& fileName,
                                   Flags flags, const QString& filter, QWidget* parent,
                                   const QString& initialFolder, const QString& title, int itemType,
                                   const QString& highlightName)
    : QFileDialog(parent), flags_(flags), filterText_(filter) {
  setOption(QFileDialog::DontUseNativeDialog, true);
  setObjectName(QStringLiteral("imageFileDialog"));
  dialogType_ = dialogType >= Open && dialogType <= SaveAs ? dialogType : Open;
  itemType_ = itemType == ByRealName || itemType == ByLongName ? itemType : IndexOrder;
  highlightName_ = highlightName;
  while (highlightName_.endsWith(u'\\')) highlightName_.chop(1);

  const TypeTexts& texts = kTypeTexts[dialogType_];
  setWindowTitle(title.isEmpty() ? QString::fromLatin1(texts.title) : title);
  setLabelText(QFileDialog::Accept, QString::fromLatin1(texts.ok));
  const bool multiple = dialogType_ == Delete || (flags_ & AllowMultiSelect);
  switch (dialogType_) {
    case SaveAs:
      setAcceptMode(QFileDialog::AcceptSave);
      setFileMode(QFileDialog::AnyFile);
      break;
    case SelectFolder:
      setFileMode(QFileDialog::Directory);
      break;
    default:
      setFileMode(multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  }
  setOption(QFileDialog::DontConfirmOverwrite, !(flags_ & OverwritePrompt));
  setOption(QFileDialog::ReadOnly, false);
  setSizeGripEnabled(flags_ & Resizable);
  QString suffix = defaultExtension;
  while (suffix.startsWith(u'.')) suffix.remove(0, 1);
  if (!suffix.isEmpty()) setDefaultSuffix(suffix);

  QStringList qtFilters;
  parseFilter(filter, qtFilters, filterPatterns_);
  if (!qtFilters.isEmpty()) setNameFilters(qtFilters);

  fsModel_ = findChild<QFileSystemModel*>();
  standardFilter_ = new StandardListFilter(this);
  setProxyModel(standardFilter_);
  nameEdit_ = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  buildAliasPanel();
  if (auto* standard = findChild<QListView*>(QStringLiteral("listView")))
    connect(standard->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CImageFileDialog::standardSelectionChanged);
  if (fsModel_ != nullptr)
    connect(fsModel_, &QFileSystemModel::rootPathChanged, this, [this](const QString& path) {
      ProcCurrentFolder(path);
    });
  watcher_ = new QFileSystemWatcher(this);
  reloadTimer_ = new QTimer(this);
  reloadTimer_->setSingleShot(true);
  reloadTimer_->setInterval(250);
  connect(watcher_, &QFileSystemWatcher::directoryChanged, reloadTimer_, qOverload<>(&QTimer::start));
  connect(reloadTimer_, &QTimer::timeout, this, &CImageFileDialog::indexMayHaveChanged);
  connect(this, &QFileDialog::filterSelected, this, [this] {
    if (dialogType_ == SaveAs) UpdateSaveAsName(true);
  });

  QString start = initialFolder;
  if (start.isEmpty() || !QFileInfo(start).isDir()) start = QDir::currentPath();
  if (start.isEmpty() || !QFileInfo(start).isDir()) {
    ShowDialogMessage(this, QStringLiteral("Error getting Current Working Directory"));
    start = QDir::homePath();
  }
  setDirectory(start);
  ProcCurrentFolder(directory().absolutePath());
  saveAsName_ = fileName;
  if (!fileName.isEmpty() && nameEdit_ != nullptr) nameEdit_->setText(fileName);
  if (!highlightName_.isEmpty() && !index_.exists()) {
    QFileInfo hi(highlightName_);
    if (hi.isFile()) selectFile(hi.absoluteFilePath());
  }
  const int w = fontMetrics().averageCharWidth();
  resize(index_.exists() ? QSize(w * 160, 540) : QSize(w * 110, 460));
  if (auto* splitter = findChild<QSplitter*>(QStringLiteral("splitter")); splitter && splitter->count() == 3)
    splitter->setSizes({w * 18, w * 44, w * 96});
}

CImageFileDialog::~CImageFileDialog() {
  // The views and the model read index_, which dies before the dialog's
  // children do.
  delete aliasPanel_;
  delete aliasModel_;
}

void CImageFileDialog::buildAliasPanel() {
  aliasModel_ = new AliasListModel(index_, this);
  aliasPanel_ = new QWidget(this);
  aliasPanel_->setObjectName(QStringLiteral("aliasPanel"));
  auto* panelLayout = new QVBoxLayout(aliasPanel_);
  panelLayout->setContentsMargins(0, 0, 0, 0);
  panelLayout->setSpacing(2);
  toolBar_ = new COptiToolBar(aliasPanel_);
  panelLayout->addWidget(toolBar_);
  aliasStack_ = new QStackedWidget(aliasPanel_);
  panelLayout->addWidget(aliasStack_);

  const bool multiple = dialogType_ == Delete || (flags_ & AllowMultiSelect);
  const auto selection = multiple ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection;
  const auto editTriggers = QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked;

  aliasDetails_ = new QTreeView(aliasStack_);
  aliasDetails_->setObjectName(QStringLiteral("aliasList"));
  aliasDetails_->setRootIsDecorated(false);
  aliasDetails_->setItemsExpandable(false);
  aliasDetails_->setUniformRowHeights(true);
  aliasDetails_->setAllColumnsShowFocus(true);
  aliasDetails_->setModel(aliasModel_);
  const int w = fontMetrics().averageCharWidth();
  aliasDetails_->header()->resizeSection(AliasListModel::NameColumn, w * 44);
  aliasDetails_->header()->resizeSection(AliasListModel::SizeColumn, w * 10);
  aliasDetails_->header()->resizeSection(AliasListModel::TypeColumn, w * 13);
  aliasDetails_->header()->resizeSection(AliasListModel::ModifiedColumn, w * 20);
  aliasDetails_->header()->setStretchLastSection(true);

  aliasIcons_ = new QListView(aliasStack_);
  aliasIcons_->setObjectName(QStringLiteral("aliasIconList"));
  aliasIcons_->setModel(aliasModel_);
  aliasIcons_->setSelectionModel(aliasDetails_->selectionModel());
  aliasIcons_->setUniformItemSizes(true);
  aliasIcons_->setResizeMode(QListView::Adjust);
  aliasIcons_->setWordWrap(true);

  for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(aliasDetails_), static_cast<QAbstractItemView*>(aliasIcons_)}) {
    v->setSelectionMode(selection);
    v->setSelectionBehavior(QAbstractItemView::SelectRows);
    v->setEditTriggers(editTriggers);
    v->setContextMenuPolicy(Qt::CustomContextMenu);
    v->installEventFilter(this);
    connect(v, &QAbstractItemView::doubleClicked, this, &CImageFileDialog::aliasActivated);
    connect(v, &QWidget::customContextMenuRequested, this, &CImageFileDialog::showAliasContextMenu);
    aliasStack_->addWidget(v);
  }
  aliasStack_->setCurrentWidget(aliasDetails_);
  connect(aliasDetails_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &CImageFileDialog::aliasSelectionChanged);
  connect(aliasModel_, &AliasListModel::renameRequested, this, &CImageFileDialog::RenameEntry);
  connect(toolBar_, &COptiToolBar::newFolderRequested, this, &CImageFileDialog::CreateAliasFolder);
  connect(toolBar_, &COptiToolBar::viewRequested, this, [this](COptiToolBar::View v) {
    SetAliasView(v == COptiToolBar::View::LargeIcons   ? AliasView::LargeIcons
                 : v == COptiToolBar::View::SmallIcons ? AliasView::SmallIcons
                                                       : AliasView::Details);
  });

  if (auto* splitter = findChild<QSplitter*>(QStringLiteral("splitter"))) {
    splitter->addWidget(aliasPanel_);
    splitter->setStretchFactor(splitter->indexOf(aliasPanel_), 3);
    splitter->setCollapsible(splitter->indexOf(aliasPanel_), false);
  } else if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
    grid->addWidget(aliasPanel_, 1, grid->columnCount(), 1, 1);
  }
  aliasPanel_->hide();
}

void CImageFileDialog::SetAliasView(AliasView view) {
  aliasView_ = view;
  toolBar_->setView(view == AliasView::LargeIcons   ? COptiToolBar::View::LargeIcons
                    : view == AliasView::SmallIcons ? COptiToolBar::View::SmallIcons
                                                    : COptiToolBar::View::Details);
  if (view == AliasView::Details) {
    aliasStack_->setCurrentWidget(aliasDetails_);
    return;
  }
  const bool large = view == AliasView::LargeIcons;
  aliasIcons_->setViewMode(large ? QListView::IconMode : QListView::ListMode);
  aliasIcons_->setFlow(large ? QListView::LeftToRight : QListView::TopToBottom);
  aliasIcons_->setWrapping(true);
  aliasIcons_->setIconSize(large ? QSize(32, 32) : QSize(16, 16));
  const int w = fontMetrics().averageCharWidth();
  aliasIcons_->setGridSize(large ? QSize(w * 18, 32 + fontMetrics().height() * 3)
                                 : QSize(w * 44, std::max(18, fontMetrics().height()) + 4));
  aliasIcons_->setMovement(QListView::Static);
  aliasStack_->setCurrentWidget(aliasIcons_);
}

QAbstractItemView* CImageFileDialog::activeAliasView() const {
  return aliasView_ == AliasView::Details ? static_cast<QAbstractItemView*>(aliasDetails_) : aliasIcons_;
}

QString CImageFileDialog::currentFolder() const { return withSlash(directory().absolutePath()); }

int CImageFileDialog::DoModal() { return exec(); }

bool CImageFileDialog::ProcCurrentFolder(const QString& folder, bool force) {
  const QString dir = withSlash(QDir::cleanPath(QDir(folder).absolutePath()));
  if (!force && dir == shownFolder_) return index_.exists();
  shownFolder_ = dir;
  if (!watcher_->directories().isEmpty()) watcher_->removePaths(watcher_->directories());
  watcher_->addPath(QDir::cleanPath(dir));
  refreshAliasList();
  if (index_.exists()) selectHighlight();
  return index_.exists();
}

void CImageFileDialog::refreshAliasList() {
  const bool had = aliasPanel_->isVisible() || index_.exists();
  loadedStamp_ = indexStamp();
  index_.Open(shownFolder_);
  aliasModel_->refill(itemType_);
  QSet<QString> members;
  for (const auto& rec : index_.records())
    if (rec.sound()) members.insert(rec.shortName().toUpper());
  QPersistentModelIndex root;
  if (fsModel_ != nullptr) root = fsModel_->index(QDir::cleanPath(shownFolder_));
  standardFilter_->setMembers(root, std::move(members));
  const bool has = index_.exists();
  aliasPanel_->setVisible(has);
  QFileInfo folderInfo(shownFolder_);
  toolBar_->newFolderAction()->setEnabled(has && folderInfo.isWritable());
  // In an alias folder new folders are alias folders: the standard button
  // would make a folder under its long name.
  if (auto* standardNew = findChild<QToolButton*>(QStringLiteral("newFolderButton"))) standardNew->setVisible(!has);
  if (has && !had && isVisible()) resize(std::max(width(), fontMetrics().averageCharWidth() * 160), height());
}

QByteArray CImageFileDialog::indexStamp() const {
  auto path = hv::docindex::indexPath(QFile::encodeName(shownFolder_).toStdString());
  struct stat st {};
  if (!path || ::stat(path->c_str(), &st) != 0) return {};
  return QByteArray::number(qulonglong(st.st_ino)) + ':' + QByteArray::number(qlonglong(st.st_size)) + ':' +
         QByteArray::number(qlonglong(st.st_mtim.tv_sec)) + '.' + QByteArray::number(qlonglong(st.st_mtim.tv_nsec));
}

void CImageFileDialog::indexMayHaveChanged() {
  if (indexStamp() == loadedStamp_) return;
  // Reload, keeping the selection (by short name) and any name being typed.
  QSet<QByteArray> selected;
  for (int r : selectedRecordRows()) selected.insert(index_.records()[r].shortNameBytes());
  const QString typed = nameEdit_ != nullptr ? nameEdit_->text() : QString();
  refreshAliasList();
  for (int row = 0; row < aliasModel_->rowCount(); ++row)
    if (selected.contains(aliasModel_->entry(row)->shortNameBytes()))
      aliasDetails_->selectionModel()->select(aliasModel_->index(row, 0),
                                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
  if (nameEdit_ != nullptr) nameEdit_->setText(typed);
}

void CImageFileDialog::selectHighlight() {
  if (highlightName_.isEmpty()) return;
  const QString bare = highlightName_.section(u'/', -1);
  const bool hasFolder = highlightName_.contains(u'/');
  for (int row = 0; row < aliasModel_->rowCount(); ++row) {
    const CConvertFileRec* rec = aliasModel_->entry(row);
    const bool match = hasFolder ? (shownFolder_ + rec->shortName()).compare(highlightName_, Qt::CaseInsensitive) == 0
                                 : rec->shortName().compare(bare, Qt::CaseInsensitive) == 0;
    if (match) {
      const QModelIndex idx = aliasModel_->index(row, 0);
      aliasDetails_->selectionModel()->setCurrentIndex(
          idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
      activeAliasView()->scrollTo(idx);
      return;
    }
  }
}

int CImageFileDialog::aliasCount() const { return aliasModel_->rowCount(); }

QList<int> CImageFileDialog::selectedRecordRows() const {
  QList<int> out;
  const QModelIndexList rows = aliasDetails_->selectionModel()->selectedRows();
  for (const QModelIndex& i : rows) {
    int r = aliasModel_->recordOf(i.row());
    if (r >= 0) out << r;
  }
  std::sort(out.begin(), out.end());
  return out;
}

void CImageFileDialog::aliasSelectionChanged() {
  const QList<int> rows = selectedRecordRows();
  if (rows.isEmpty() || nameEdit_ == nullptr) return;
  settingNameFromAlias_ = true;
  if (auto* standard = findChild<QListView*>(QStringLiteral("listView"))) standard->selectionModel()->clearSelection();
  QStringList names;
  for (int r : rows) names << index_.records()[r].longName();
  nameEdit_->setText(names.size() == 1 ? names.first() : u'"' + names.join(QStringLiteral("\" \"")) + u'"');
  if (dialogType_ == SaveAs) saveAsName_ = names.first();
  // The standard dialog checks typed names against the folder's files;
  // these are index entries, so the accept button stays available.
  if (auto* box = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox")))
    if (QPushButton* ok = box->button(dialogType_ == SaveAs ? QDialogButtonBox::Save : QDialogButtonBox::Open))
      ok->setEnabled(true);
  settingNameFromAlias_ = false;
}

void CImageFileDialog::standardSelectionChanged() {
  if (settingNameFromAlias_) return;
  auto* standard = findChild<QListView*>(QStringLiteral("listView"));
  if (standard != nullptr && standard->selectionModel()->hasSelection())
    aliasDetails_->selectionModel()->clearSelection();
}

void CImageFileDialog::aliasActivated(const QModelIndex& index) {
  const CConvertFileRec* rec = aliasModel_->entry(index.row());
  if (rec == nullptr) return;
  if (rec->isFolder() && dialogType_ != SelectFolder) {
    enterFolder(shownFolder_ + rec->shortName());
    return;
  }
  accept();
}

void CImageFileDialog::enterFolder(const QString& folder) {
  if (nameEdit_ != nullptr) nameEdit_->clear();
  setDirectory(folder);
  ProcCurrentFolder(directory().absolutePath());
}

void CImageFileDialog::showAliasContextMenu(const QPoint& at) {
  QAbstractItemView* view = activeAliasView();
  const QModelIndex index = view->indexAt(at);
  QMenu menu(this);
  if (index.isValid()) {
    menu.addAction(QStringLiteral("&Select"), this, [this, index] { aliasActivated(index); });
    menu.addAction(QStringLiteral("Re&name..."), this, [this, index] {
      const CConvertFileRec* rec = aliasModel_->entry(index.row());
      if (rec == nullptr) return;
      const QString old = rec->longName();
      COptiFileNameDlg dlg(old, this);
      if (dlg.exec() == QDialog::Accepted) RenameEntry(old, dlg.fileName());
    });
    menu.addAction(QStringLiteral("&Delete"), this, [this] {
      const int n = static_cast<int>(selectedRecordRows().size());
      if (n > 0 && AskDialogQuestion(this, QStringLiteral("Delete the %1 selected item(s) and everything in them?").arg(n),
                                     QStringLiteral("Confirm Delete")))
        DeleteSelectedItems();
    });
    menu.addSeparator();
  }
  QAction* create = menu.addAction(QStringLiteral("New &Folder"), this, &CImageFileDialog::CreateAliasFolder);
  create->setEnabled(toolBar_->newFolderAction()->isEnabled());
  menu.exec(view->viewport()->mapToGlobal(at));
}

bool CImageFileDialog::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == aliasDetails_ || watched == aliasIcons_) && event->type() == QEvent::ShortcutOverride &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
    // The standard list's delete shortcut would take the key otherwise.
    event->accept();
    return true;
  }
  if ((watched == aliasDetails_ || watched == aliasIcons_) && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Delete) {  // an open name editor takes its own keys
      const int n = static_cast<int>(selectedRecordRows().size());
      if (n > 0 && AskDialogQuestion(this, QStringLiteral("Delete the %1 selected item(s) and everything in them?").arg(n),
                                     QStringLiteral("Confirm Delete")))
        DeleteSelectedItems();
      return true;
    }
  }
  return QFileDialog::eventFilter(watched, event);
}

void CImageFileDialog::Set_ShowJMXHoll(bool show) {
  showJmxHoll_ = show;
  applyListingOptions();
}

void CImageFileDialog::Set_ShowUploadDatFiles(bool show) {
  showUploadDat_ = show;
  applyListingOptions();
}

void CImageFileDialog::Set_ExcludeFileExtensions(bool on, const QStringList& list) {
  excludeOn_ = on;
  excludeList_ = list;
  applyListingOptions();
}

void CImageFileDialog::applyListingOptions() {
  standardFilter_->setOptions(showJmxHoll_, showUploadDat_, excludeOn_, excludeList_);
}
