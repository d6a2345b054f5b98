#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStringList>

#include "desktop/info_dialog.h"
#include "desktop/message_box.h"
#include "viewer/viewer_app.h"

namespace {

// The command line as one string, as the shell handed it to a Windows program.
QString commandLineOf(const QStringList& args) {
  QStringList parts;
  for (qsizetype i = 1; i < args.size(); ++i) {
    const QString& a = args[i];
    parts << (a.contains(' ') && !a.startsWith('"') ? "\"" + a + "\"" : a);
  }
  return parts.join(' ');
}

// The program's icon: a drawing sheet with its border and title block.
QIcon sheetIcon() {
  QPixmap pm(32, 32);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.fillRect(3, 6, 26, 20, Qt::white);
  p.setPen(QPen(QColor(20, 40, 90), 2));
  p.drawRect(3, 6, 26, 20);
  p.setPen(QPen(QColor(20, 40, 90), 1));
  p.drawRect(6, 9, 20, 14);
  p.fillRect(18, 18, 8, 5, QColor(20, 40, 90));
  p.drawLine(8, 20, 15, 12);
  return QIcon(pm);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName("Halvor");
  QApplication::setApplicationName("Viewer");
  QApplication::setApplicationDisplayName("Halvor Image Viewer");
  QApplication::setApplicationVersion("1.0");
  QApplication::setWindowIcon(sheetIcon());
  hv::desktop::installMessageBoxSink();
  hv::desktop::installInfoDialogPresenter();
  hv::viewer::CViewerApp viewer;
  if (!viewer.InitInstance(commandLineOf(QApplication::arguments()))) return 0;
  int rc = QApplication::exec();
  viewer.ExitInstance();
  return rc;
}
