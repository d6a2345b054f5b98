// The batch print program's work (see tessap_print.h).
#include "batchprint/program/tessap_print.h"

#include <QFileInfo>
#include <QPrinter>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include "batchprint/print_list.h"
#include "desktop/print_page.h"
#include "desktop/printer_choice.h"

namespace hv::tessap {
namespace {

// The list is removed at the end, but only a regular file: a list path that
// names a folder or a pipe is left alone.
void removeList(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode))) ::unlink(path.c_str());
}

bool printOne(QPrinter& printer, const std::string& path, bool invert) {
  // The entry may have changed since the list was read.
  if (batchprint::classifyEntry(path) != batchprint::EntryState::Printable) return false;
  const unsigned options = GRX_OPEN_ONE_TO_ONE | (invert ? GRX_OPEN_INVERT : 0u);
  ImageHdl image = grxOpenImage(nullptr, path.c_str(), options, nullptr);
  if (image == nullptr) return false;
  desktop::PrintRequest request;
  request.image = image;
  request.rotateForBestFit = true;
  request.invert = invert;
  request.jobName = QFileInfo(QString::fromStdString(path)).fileName();
  const desktop::PrintStatus status = desktop::printDrawing(printer, request);
  grxCloseImage(image);
  return status == desktop::PrintStatus::kPrinted;
}

}  // namespace

RunResult printList(const std::string& listPath, bool invert) {
  RunResult result;
  batchprint::PrintList list = batchprint::readPrintList(listPath);
  if (!list.opened) {
    std::fprintf(stderr, "The Batch Print File List:  %s is invalid -- Nothing to Print\n", listPath.c_str());
    removeList(listPath);
    return result;
  }
  result.listRead = true;
  // What could be read is printed; the rest is reported.
  if (!list.error.empty())
    std::fprintf(stderr, "tessap: %s: read stopped part way (%s)\n", listPath.c_str(), list.error.c_str());
  if (list.dropped > 0)
    std::fprintf(stderr, "tessap: %s: %zu lines beyond the first %zu entries not printed\n", listPath.c_str(),
                 list.dropped, batchprint::kMaxListEntries);
  if (list.printable() > 0) {
    // The default destination is looked up once for the whole list; every
    // begin and end of a page on it makes a job of its own.
    QPrinter printer(QPrinter::HighResolution);
    result.noPrinter = !desktop::usePrinter(printer, QString());
    if (result.noPrinter) {
      std::fprintf(stderr, "tessap: no default printer -- Nothing to Print\n");
    } else {
      for (const batchprint::ListEntry& e : list.entries) {
        if (e.state == batchprint::EntryState::Printable && printOne(printer, e.path, invert)) ++result.printed;
        else ++result.skipped;
      }
    }
  }
  removeList(listPath);
  return result;
}

}  // namespace hv::tessap
