#pragma once
// Deleting a folder with all it holds. There is no recycle bin.
#include <string>

#include "viewer/deletion_ui.h"

namespace hv::viewer {

// Removes folder (its long path) and its contents. An aliased folder (stored
// under a short name in its parent's DOCFILES.IDX) is confirmed first; No sets
// cancel and gives 1 with nothing removed; its record goes before the folder.
// A symbolic link is removed as a link. 1 done or declined, 0 failed (also
// when something inside could not be removed).
int DeleteFolder(DeletionContext& ctx, const std::string& folder, int& cancel);

// The recursive removal behind DeleteFolder. Symbolic links are removed,
// never followed; special files (FIFOs, sockets, devices) are system files
// and stay, which leaves their folders in place. True when path is gone.
bool removeFolderRecursively(const std::string& path);

}  // namespace hv::viewer
