// Runs the viewer's QTest classes in one application started empty.
#include "viewer/tests/viewer_fixture.h"
#include "viewer/tests/viewer_tests.h"

int main(int argc, char** argv) {
  using namespace hv::viewer::test;
  return runInEmptyViewer(argc, argv,
                          {makeSettingsTest, makeDocumentTest, makeQueueTest, makeViewCommandsTest, makeMirrorTest,
                           makeEditorLinkTest, makeLaunchTest, makeFrameCommandsTest, makeOverviewTest,
                           makeViewScrollTest, makeBitExpansionTest});
}
