#pragma once
// Batch printing from the viewer: the selection of drawings, the batch print
// file list and the start of the batch print program, locally or through a
// print server; the options and printer settings commands.
#include <QString>
#include <QStringList>

#include "batchprint/remote_submit.h"

class QWidget;

namespace hv::viewer {

class CommandTable;
class CViewerSettings;

// Where a submission writes and what it takes from its surroundings.
struct BatchSubmitSetup {
  QString callerFolder;                           // the "Directory" default (see readBatchPrintOptions)
  QString batchFolder;                            // folder of the list and the job files; empty or
                                                  // missing: the temporary directory
  int fileListSort = 0;                           // sort order of the selection dialog's indexed entries
  hv::batchprint::SubmitEnvironment environment;  // host, address and time
};

// Reads the options, lets the user choose drawings in the image file dialog
// ("Batch Print File Selection", several files) and hands them to the batch
// print program, locally or as a print server job. Every failure is shown
// with the caption "Batch Print Error". The result of the core's submission;
// status NoImages when the selection was cancelled or empty.
hv::batchprint::SubmitResult SubmitBatchPrint(QWidget* owner, const CViewerSettings& settings,
                                              const BatchSubmitSetup& setup);

// Shows a submission's failure, or the drawings a started job left out.
void ReportBatchSubmission(const hv::batchprint::SubmitResult& result);

// "Select images for local or remote batch printing", "Setup Batch Image
// Local/Remote Print Options...", "Printer Settings..." and "Add to FILEDATA file".
void addBatchPrintCommands(CommandTable& table);

}  // namespace hv::viewer
