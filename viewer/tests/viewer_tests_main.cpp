// Runs the viewer's QTest classes in one application started empty.
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "viewer/tests/viewer_fixture.h"
#include "viewer/tests/viewer_tests.h"
#include "viewer/viewer_app.h"

int main(int argc, char** argv) {
  QTemporaryDir root;
  hv::viewer::test::isolateEnvironment(root.path());
  QApplication qapp(argc, argv);
  QApplication::setOrganizationName("Halvor");
  QApplication::setApplicationName("Viewer");
  QApplication::setApplicationDisplayName("Halvor Image Viewer");
  auto settings = std::make_unique<hv::viewer::CViewerSettings>(root.path() + "/settings.ini");
  hv::viewer::CViewerApp app(std::move(settings));
  if (!app.InitInstance(QString())) return 2;
  int failures = 0;
  for (auto make : {hv::viewer::test::makeSettingsTest, hv::viewer::test::makeDocumentTest,
                    hv::viewer::test::makeQueueTest, hv::viewer::test::makeViewCommandsTest,
                    hv::viewer::test::makeMirrorTest, hv::viewer::test::makeEditorLinkTest,
                    hv::viewer::test::makeLaunchTest}) {
    std::unique_ptr<QObject> test(make());
    failures += QTest::qExec(test.get(), argc, argv);
  }
  return failures == 0 ? 0 : 1;
}
