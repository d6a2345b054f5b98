#pragma once
// Printing one drawing as one page: the page is laid out by
// engine/print_layout.h and drawn by the engine at the printer's resolution,
// band by band, as 1-bit images; the stamp is written above the picture.
// The viewer's print commands (whole image, zoomed view, the unattended
// print) and the batch print program both print through printDrawing.
#include <QRect>
#include <QString>

#include "engine/image_handle.h"
#include "engine/print_layout.h"

class QPainter;
class QPrinter;

namespace hv::desktop {

struct PrintRequest {
  ImageHdl image = nullptr;    // an open image; its file or image memory is drawn
  GrxRect source{0, 0, 0, 0};  // the zoomed view's image rectangle; empty prints the whole image
  int viewRotation = 0;        // tenths of a degree, a multiple of 900
  bool rotateForBestFit = true;
  bool invert = false;         // the printed polarity (see printsInverted)
  QString stamp;               // the date-and-name stamp; empty prints none
  QString jobName;             // the print job's title
};

enum class PrintStatus {
  kPrinted,         // the page went to the printer
  kNoImage,         // no image, or an image of no size
  kNoLayout,        // the page cannot hold the picture
  kCannotStart,     // the printer would not start a job
  kRenderFailed,    // the engine could not draw the image (nothing usable printed)
  kSubmitFailed,    // the job could not be handed to the print system
};

// What a printed page looked like, for callers that report or check it.
struct PrintedPage {
  int dpi = 0;
  QRect paper;        // the whole sheet, device pixels
  QRect printable;    // the printable area on the sheet, device pixels
  engine::PrintLayout layout;  // relative to the printable area's top-left corner
  int renderStatus = 0;        // grxRenderRect's status
};

// Prints the request as one job of one page on the printer as it is set up
// (printer name, paper, resolution); no dialog is shown.
PrintStatus printDrawing(QPrinter& printer, const PrintRequest& request, PrintedPage* page = nullptr);

// Draws the page on a painter that is already active on a device of `dpi`
// whose printable area is `printable` (device pixels, painter origin at its
// top-left corner). Returns false when it cannot be laid out.
bool paintPrintPage(QPainter& painter, const QSize& printable, int dpi, const PrintRequest& request,
                    PrintedPage* page);

// The height of the stamp's line (text and a small gap) on a device of `dpi`.
int stampLineHeight(QPainter* painter, int dpi);

}  // namespace hv::desktop
