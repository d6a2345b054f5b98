// Runs the batch printing, printer settings and FILEDATA tests in one
// application started empty.
#include "viewer/tests/batch_print_tests.h"
#include "viewer/tests/viewer_fixture.h"

int main(int argc, char** argv) {
  using namespace hv::viewer::test;
  return runInEmptyViewer(argc, argv, {makeBatchPrintTest, makePrinterFileDataTest});
}
