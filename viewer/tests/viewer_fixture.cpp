#include "viewer/tests/viewer_fixture.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include <QDir>
#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QTest>

#include "viewer/main_frame.h"
#include "viewer/tests/drawing_files.h"
#include "viewer/user_prompt.h"
#include "viewer/viewer_doc.h"
#include "viewer/viewer_view.h"

namespace hv::viewer::test {

namespace {
QString& root() {
  static QString r;
  return r;
}
}  // namespace

void isolateEnvironment(const QString& base) {
  root() = base;
  for (const char* d : {"home", "config", "cache", "tmp", "data"}) QDir().mkpath(base + "/" + d);
  qputenv("HOME", (base + "/home").toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", (base + "/config").toLocal8Bit());
  qputenv("XDG_CACHE_HOME", (base + "/cache").toLocal8Bit());
  qputenv("TMPDIR", (base + "/tmp").toLocal8Bit());
  // A desktop of its own: no application is the default for any file type
  // unless a test makes it so; the system's MIME database stays readable.
  for (const char* d : {"data-home/applications", "sysconfig", "sysdata"}) QDir().mkpath(base + "/" + d);
  QFile::link("/usr/share/mime", base + "/sysdata/mime");
  qputenv("XDG_DATA_HOME", (base + "/data-home").toLocal8Bit());
  qputenv("XDG_DATA_DIRS", (base + "/sysdata").toLocal8Bit());
  qputenv("XDG_CONFIG_DIRS", (base + "/sysconfig").toLocal8Bit());
  qputenv("XDG_CURRENT_DESKTOP", "X-Generic");
}

QString dataRoot() { return root() + "/data/"; }

void Prompts::install() {
  setPromptAnswerer([this](const QString& text, QMessageBox::StandardButtons buttons) {
    texts << text;
    if (buttons & answer) return answer;
    return QMessageBox::Ok;
  });
}

bool Prompts::saw(const QString& part) const {
  for (const QString& t : texts)
    if (t.contains(part)) return true;
  return false;
}

CViewerView* openInView(const QString& folder, const QString& name, const hv::drawgen::Bitmap& bitmap,
                        unsigned dpi) {
  const QString dir = dataRoot() + folder;
  QDir().mkpath(dir);
  const QString path = dir + name;
  if (!writeBitmap(path.toStdString(), bitmap, "TIFFGP4 ", dpi)) return nullptr;
  CViewerDoc* doc = CViewerApp::instance()->OpenCommandPath(path);
  if (doc == nullptr || doc->firstView() == nullptr) return nullptr;
  CViewerView* v = doc->firstView();
  v->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  v->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  v->resize(800, 600);
  QCoreApplication::sendPostedEvents();
  CViewerApp::instance()->mainFrame()->refreshTools();
  return v;
}

bool runCommand(const char* id) { return CViewerApp::instance()->mainFrame()->commands().run(id); }

bool commandEnabled(const char* id) {
  CMainFrame* frame = CViewerApp::instance()->mainFrame();
  frame->refreshTools();
  return frame->commands().action(id)->isEnabled();
}

bool commandChecked(const char* id) {
  CMainFrame* frame = CViewerApp::instance()->mainFrame();
  frame->refreshTools();
  return frame->commands().action(id)->isChecked();
}

void sendMouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
  QMouseEvent e(type, QPointF(p), w->mapToGlobal(QPointF(p)), type == QEvent::MouseMove ? Qt::NoButton : button,
                held, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

namespace {

// Set when every test class has run. Code under test that ends the process
// early (an exit() on some path) would otherwise end the run with status 0
// and the remaining classes silently unrun.
std::atomic<bool> runCompleted{false};

void failUnlessCompleted() {
  if (runCompleted.load()) return;
  std::fputs("FAIL: the test program ended before all its test classes ran\n", stderr);
  std::_Exit(3);
}

}  // namespace

int runInEmptyViewer(int argc, char** argv, std::initializer_list<QObject* (*)()> makers) {
  std::atexit(failUnlessCompleted);
  QTemporaryDir root;
  isolateEnvironment(root.path());
  QApplication qapp(argc, argv);
  QApplication::setOrganizationName("Halvor");
  QApplication::setApplicationName("Viewer");
  QApplication::setApplicationDisplayName("Halvor Image Viewer");
  auto settings = std::make_unique<CViewerSettings>(root.path() + "/settings.ini");
  CViewerApp app(std::move(settings));
  if (!app.InitInstance(QString())) return 2;
  int failures = 0;
  for (auto make : makers) {
    std::unique_ptr<QObject> test(make());
    failures += QTest::qExec(test.get(), argc, argv);
  }
  runCompleted = true;
  return failures == 0 ? 0 : 1;
}

}  // namespace hv::viewer::test
