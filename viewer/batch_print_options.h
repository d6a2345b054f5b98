#pragma once
// The "Batch Image Print" settings: read with every value guarded (a stored
// number that is not a number reads as its default) and written back the way
// the options dialog saves them.
#include <QString>

#include "batchprint/print_options.h"

namespace hv::viewer {

class CViewerSettings;

// Reads the options. callerFolder, when it names an existing folder (directly
// or through the folders' DOCFILES.IDX), is the "Directory" default in place
// of the user's home folder.
hv::batchprint::BatchPrintOptions readBatchPrintOptions(const CViewerSettings& settings,
                                                        const QString& callerFolder = {});

// Writes "Directory", "Invert", "Remote" and "BatchSelectionFilters" always,
// and the print server keys only when the options print through a server.
void writeBatchPrintOptions(CViewerSettings& settings, const hv::batchprint::BatchPrintOptions& options);

// The "Directory" default for callerFolder (see readBatchPrintOptions), ending with '/'.
QString batchDirectoryDefault(const QString& callerFolder);

}  // namespace hv::viewer
