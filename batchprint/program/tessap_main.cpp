// tessap: prints the files of a batch print file list, each as a job of its
// own on the default printer, without a window, and ends.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "batchprint/print_alias.h"
#include "batchprint/program/tessap_args.h"
#include "batchprint/program/tessap_print.h"

int main(int argc, char** argv) {
  // No window is ever shown: the offscreen platform unless one is chosen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  std::vector<std::string> args(argv + 1, argv + argc);
  const hv::tessap::Arguments a = hv::tessap::parseArguments(args);
  if (a.showOptions) std::fprintf(stderr, "%s\n", hv::tessap::kCompiledOptions);
  if (!a.haveList) {
    std::fprintf(stderr, "Missing Batch Print File List -- Nothing to Print\n");
    return 1;
  }
  const std::string list = hv::batchprint::resolveListPath(a.listPath);
  const hv::tessap::RunResult r = hv::tessap::printList(list, a.invert);
  return r.listRead && !r.noPrinter ? 0 : 1;
}
