// Runs the deletion and QA command tests in one application started empty.
#include "viewer/tests/deletion_tests.h"
#include "viewer/tests/viewer_fixture.h"

int main(int argc, char** argv) {
  using namespace hv::viewer::test;
  return runInEmptyViewer(argc, argv, {makeDeletionTest, makeQaCommandsTest});
}
