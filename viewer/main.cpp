#include <cstdio>
#include <cstring>

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

// "--help" and "--version" answer on standard output and end, without a
// display: the conventions of every Linux command. They are read only as the
// sole argument, so a drawing with such a name still opens ("./--help").
bool answeredStandardOption(int argc, char** argv) {
  if (argc != 2) return false;
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    std::fputs(
        "Usage: viewer [FILE]\n"
        "       viewer -print FILE\n"
        "       viewer -fileext\n"
        "Shows scanned engineering drawings (CALS Type 1 and 2, TIFF Group 3 and 4,\n"
        "EDMICS, Audre) and the index records kept beside them.\n"
        "\n"
        "  FILE          open FILE; when a viewer is already running on this desktop,\n"
        "                FILE opens in it and this start ends\n"
        "  -print FILE   print FILE on the current printer without a dialog, then\n"
        "                close it\n"
        "  -fileext      choose the drawing types this viewer opens from the file\n"
        "                manager\n"
        "  -?            show the options this viewer was built with\n"
        "  --help        show this text\n"
        "  --version     show the version\n",
        stdout);
    return true;
  }
  if (std::strcmp(argv[1], "--version") == 0) {
    std::fputs("viewer (Halvor Image Viewer) 1.0\n", stdout);
    return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (answeredStandardOption(argc, argv)) return 0;
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
