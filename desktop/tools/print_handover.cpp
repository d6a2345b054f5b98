// hv_print_handover FILE: prints a drawing on the default printer through
// the printing module, as the viewer's unattended print does, and reports
// how long the job took to reach the print system and how much the process
// grew while printing (peak resident memory over the resident memory before).
#include <QApplication>
#include <QPrinter>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "desktop/print_page.h"
#include "desktop/printer_choice.h"

namespace {

// A field of /proc/self/status in kB ("VmRSS", "VmHWM"), 0 when absent.
long statusKb(const std::string& field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.compare(0, field.size() + 1, field + ":") == 0) return std::stol(line.substr(field.size() + 1));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: hv_print_handover FILE\n");
    return 2;
  }
  ImageHdl image = grxOpenImage(nullptr, argv[1], GRX_OPEN_ONE_TO_ONE, nullptr);
  if (image == nullptr) {
    std::fprintf(stderr, "cannot open %s\n", argv[1]);
    return 1;
  }
  QPrinter printer(QPrinter::HighResolution);
  if (!hv::desktop::usePrinter(printer, hv::desktop::choosePrinter("", ""))) {
    std::fprintf(stderr, "no printer\n");
    return 1;
  }
  hv::desktop::PrintRequest request;
  request.image = image;
  request.stamp = "December 07, 2026 20:30:00 [SHEET]";
  request.jobName = "handover";
  const long before = statusKb("VmRSS");
  const auto start = std::chrono::steady_clock::now();
  const hv::desktop::PrintStatus status = hv::desktop::printDrawing(printer, request);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const long peak = statusKb("VmHWM");
  grxCloseImage(image);
  if (status != hv::desktop::PrintStatus::kPrinted) {
    std::fprintf(stderr, "printing failed\n");
    return 1;
  }
  std::printf("handed to %s at %d dpi in %.3f s; resident %ld kB before, peak %ld kB, growth %ld kB\n",
              printer.printerName().toLocal8Bit().constData(), printer.resolution(), seconds, before, peak,
              peak - before);
  return 0;
}
