#pragma once
// The batch print program's work: every printable file of a batch print
// file list printed as a job of its own on the default printer.
#include <string>

namespace hv::tessap {

struct RunResult {
  bool listRead = false;  // false: the list was missing or invalid
  bool noPrinter = false;  // there was something to print but no default printer
  int printed = 0;        // jobs handed to the print system
  int skipped = 0;        // entries that did not load or did not print
};

// Reads the list (its path already translated), prints each entry that
// loads, fitted to the page and turned to the page's orientation, inverted
// when asked, without a dialog; then removes the list when it is still a
// regular file. Messages go to standard error.
RunResult printList(const std::string& listPath, bool invert);

}  // namespace hv::tessap
