#pragma once
// Printing through the private CUPS server of tests/support/cups-harness.sh:
// waiting for the queue to finish and reading back the PDFs it wrote as
// sheets rasterised at the printer's resolution.
#include <string>
#include <vector>

#include "tools/drawgen/drawgen.h"

namespace hv::printtest {

// True when the harness runs this process (CUPS_SERVER and the PDF folder set).
bool underCupsHarness();
std::string cupsQueue();
std::string pdfFolder();

// The PDFs in the queue's folder, sorted by job number.
std::vector<std::string> printedPdfs();
// Removes every PDF of the folder (between tests).
void clearPdfs();

// Waits until the scheduler has no unfinished job and at least `count` PDFs
// exist; false after `seconds`.
bool waitForPdfs(std::size_t count, int seconds);

// Rasterises page 1 of a PDF at `dpi` as a 1-bit sheet with Ghostscript,
// which places 1:1 image masks on exactly the device pixels they came from
// (poppler's pdftoppm resamples them and moves or drops single pixels);
// returns "" or what went wrong.
std::string rasterisePdf(const std::string& pdf, int dpi, drawgen::Bitmap& sheet);

// Number of pages of a PDF (pdfinfo), 0 when unreadable.
int pdfPages(const std::string& pdf);

}  // namespace hv::printtest
