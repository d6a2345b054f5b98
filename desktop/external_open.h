#pragma once
// What opening a file that is not a raster drawing does: a PDF of an alias
// folder goes to the PDF reader, any other file to the program the desktop
// associates with it. The caller (the viewer's document) applies the outcome:
// the title, the status text and the message box.
#include <QString>
#include <functional>

#include "desktop/associations.h"

namespace hv::desktop {

struct ExternalOpenRequest {
  QString path;
  bool pdf = false;                // identified as a PDF document
  QString longName;                // the file's long name (alias lookup)
  bool haveJedmicsRecord = false;  // the JEDMICS record was found
  bool autoLaunchPdf = false;      // the AutoLaunchPDF setting
  QString pdfViewer;               // the PDFViewer setting
  // Runs just before the associated program is started (the viewer writes
  // its respawn guard there, so a new instance of itself sees it).
  std::function<void()> beforeLaunch;
};

struct ExternalOpenOutcome {
  enum class Route { PdfReader, AutoLaunchOff, Associated, NotAssociated, Missing, Empty };
  Route route = Route::NotAssociated;
  bool started = false;        // the reader or the associated program started
  bool sentToAcrobat = false;  // the document's sent-to-reader flag
  QString title;               // new document title; empty keeps the title
  QString status;              // last status text
  QString message;             // message box text; empty shows none
};

// True when the file goes to the PDF reader rather than to its association:
// a PDF whose path, upper-cased, contains ".ALS".
bool goesToPdfReader(const ExternalOpenRequest& request);

ExternalOpenOutcome openExternally(FileAssociations& associations, const ExternalOpenRequest& request);

}  // namespace hv::desktop
