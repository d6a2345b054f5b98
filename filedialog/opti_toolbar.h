#pragma once
// The alias list's tool bar: a new alias folder and the three views of the
// list (large icons, small icons, details), each button with its tooltip.
#include <QToolBar>

#include "filedialog/tarnwick_export.h"

class QAction;

class TARNWICK_EXPORT COptiToolBar : public QToolBar {
  Q_OBJECT

 public:
  enum class View { LargeIcons, SmallIcons, Details };

  explicit COptiToolBar(QWidget* parent = nullptr);

  void setView(View view);
  QAction* newFolderAction() const { return newFolder_; }

 signals:
  void newFolderRequested();
  void viewRequested(COptiToolBar::View view);

 private:
  QAction* newFolder_;
  QAction* large_;
  QAction* small_;
  QAction* details_;
};
