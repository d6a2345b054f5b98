#pragma once
// Deleting the files and folders chosen in the delete dialog, one after the
// other, until the batch is cancelled.
#include <string>
#include <vector>

#include "viewer/deletion_ui.h"

namespace hv::viewer {

struct SelectionDeletionResult {
  bool cancelled = false;
  int deleted = 0;  // files and folders removed
};

// storedPaths: the stored paths the dialog gave, in order. Asks once for the
// whole batch, then per item as the item's kind and attributes require:
// hidden (name starting with '.'): Yes/No/Cancel; system (neither a regular
// file, a symbolic link nor a folder): never deleted; read-only (no write
// permission bit): Yes/No/Cancel and made owner-writable on Yes. Shows
// "This Delete Operation was Cancelled" when cancelled. The status text is
// put back at the end.
SelectionDeletionResult deleteSelection(DeletionContext& ctx, const std::vector<std::string>& storedPaths);

}  // namespace hv::viewer
