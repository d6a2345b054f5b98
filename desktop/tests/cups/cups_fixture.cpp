// Printing through the private CUPS server (see cups_fixture.h).
#include "desktop/tests/cups/cups_fixture.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "tests/support/temp_dir.h"

namespace hv::printtest {
namespace {

std::string env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

std::string capture(const std::string& command) {
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
  }
  return out;
}

// The job number cups-pdf puts at the end of the name ("...-job_12.pdf").
long jobNumber(const std::string& name) {
  auto at = name.rfind("job_");
  return at == std::string::npos ? 0 : std::atol(name.c_str() + at + 4);
}

}  // namespace

bool underCupsHarness() { return !env("CUPS_SERVER").empty() && !env("HV_CUPS_PDF_DIR").empty(); }
std::string cupsQueue() { return env("HV_CUPS_QUEUE"); }
std::string pdfFolder() { return env("HV_CUPS_PDF_DIR"); }

std::vector<std::string> printedPdfs() {
  std::vector<std::string> out;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(pdfFolder(), ec))
    if (e.path().extension() == ".pdf") out.push_back(e.path().string());
  std::sort(out.begin(), out.end(), [](const std::string& a, const std::string& b) {
    return jobNumber(a) < jobNumber(b);
  });
  return out;
}

void clearPdfs() {
  for (const std::string& p : printedPdfs()) std::filesystem::remove(p);
}

bool waitForPdfs(std::size_t count, int seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < end) {
    // "lpstat -o" lists the jobs not yet completed.
    if (capture("lpstat -o 2>/dev/null").empty() && printedPdfs().size() >= count) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  return false;
}

std::string rasterisePdf(const std::string& pdf, int dpi, drawgen::Bitmap& sheet) {
  test::TempDir dir;
  const std::string out = dir.file("page.pbm");
  const std::string command = "gs -q -dSAFER -dNOPAUSE -dBATCH -sDEVICE=pbmraw -r" + std::to_string(dpi) +
                              " -dFirstPage=1 -dLastPage=1 -sOutputFile='" + out + "' '" + pdf + "'";
  if (test::runCommand(command) != 0) return "Ghostscript failed on " + pdf;
  if (!drawgen::readPbm(out, sheet)) return "no readable page from Ghostscript for " + pdf;
  return "";
}

int pdfPages(const std::string& pdf) {
  std::string info = capture("pdfinfo '" + pdf + "' 2>/dev/null");
  auto at = info.find("Pages:");
  return at == std::string::npos ? 0 : std::atoi(info.c_str() + at + 6);
}

}  // namespace hv::printtest
