#pragma once
// The viewer's Open and Save As requests to the image file dialog.
#include <QString>
#include <QStringList>

class QWidget;

namespace hv::viewer {

struct OpenChoice {
  bool accepted = false;
  QString folder;     // ends with '/'
  QStringList paths;  // stored (real) paths of the chosen files
};

struct SaveAsChoice {
  bool accepted = false;
  QString path;
  int typeNumber = 1;
};

OpenChoice runOpenDialog(QWidget* owner, const QString& folder, const QString& filter, int fileListSort,
                         const QStringList& exclusions);
SaveAsChoice runSaveAsDialog(QWidget* owner, const QString& folder, const QString& name);

}  // namespace hv::viewer
