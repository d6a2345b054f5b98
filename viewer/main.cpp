#include <QApplication>
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

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName("Halvor");
  QApplication::setApplicationName("Viewer");
  QApplication::setApplicationDisplayName("Halvor Image Viewer");
  QApplication::setApplicationVersion("1.0");
  hv::desktop::installMessageBoxSink();
  hv::desktop::installInfoDialogPresenter();
  hv::viewer::CViewerApp viewer;
  if (!viewer.InitInstance(commandLineOf(QApplication::arguments()))) return 0;
  int rc = QApplication::exec();
  viewer.ExitInstance();
  return rc;
}
