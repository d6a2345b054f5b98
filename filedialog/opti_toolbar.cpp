#include "filedialog/opti_toolbar.h"

#include <QAction>
#include <QActionGroup>
#include <QStyle>

COptiToolBar::COptiToolBar(QWidget* parent) : QToolBar(parent) {
  setObjectName(QStringLiteral("optiToolBar"));
  setIconSize(QSize(16, 16));
  setToolButtonStyle(Qt::ToolButtonIconOnly);
  newFolder_ = addAction(style()->standardIcon(QStyle::SP_FileDialogNewFolder), QStringLiteral("New Folder"));
  newFolder_->setObjectName(QStringLiteral("aliasNewFolder"));
  newFolder_->setToolTip(QStringLiteral("Create New Folder"));
  addSeparator();
  auto* group = new QActionGroup(this);
  large_ = addAction(style()->standardIcon(QStyle::SP_FileDialogContentsView), QStringLiteral("Large Icons"));
  large_->setObjectName(QStringLiteral("aliasLargeIcons"));
  small_ = addAction(style()->standardIcon(QStyle::SP_FileDialogListView), QStringLiteral("Small Icons"));
  small_->setObjectName(QStringLiteral("aliasSmallIcons"));
  details_ = addAction(style()->standardIcon(QStyle::SP_FileDialogDetailedView), QStringLiteral("Details"));
  details_->setObjectName(QStringLiteral("aliasDetails"));
  for (QAction* a : {large_, small_, details_}) {
    a->setCheckable(true);
    group->addAction(a);
  }
  details_->setChecked(true);
  connect(newFolder_, &QAction::triggered, this, &COptiToolBar::newFolderRequested);
  connect(large_, &QAction::triggered, this, [this] { emit viewRequested(View::LargeIcons); });
  connect(small_, &QAction::triggered, this, [this] { emit viewRequested(View::SmallIcons); });
  connect(details_, &QAction::triggered, this, [this] { emit viewRequested(View::Details); });
}

void COptiToolBar::setView(View view) {
  (view == View::LargeIcons ? large_ : view == View::SmallIcons ? small_ : details_)->setChecked(true);
}
