#pragma once
// Deleting an image file: a plain file, or an aliased one stored under its
// short name, which takes its DOCFILES.IDX, JMX.HOL and INDEX.HOL records
// with it. The active document lets go of the file first and its
// next/previous list is corrected afterwards.
#include <string>

#include "viewer/deletion_ui.h"

namespace hv::viewer {

// path: the long path of the file (a plain file's long and stored paths are
// the same). cancel is set to 1 when a prompt is answered Cancel. ask: confirm
// first; report: show failures; routeActive: a path that is the active
// document's image goes through DeleteActiveImage. 1 deleted, 0 not deleted.
// The path is kept as given (Linux names are case-sensitive) and compared
// ignoring case.
int DeleteImageFile(DeletionContext& ctx, std::string& path, int& cancel, bool ask, bool report, bool routeActive);

// The "Delete the active image file" command on document doc: an edited image
// asks the warning question first; after the deletion the document moves to a
// neighbour or closes, unless Cancel was chosen. 1 when nothing more is to be
// done, otherwise the result of DeleteImageFile.
int DeleteActiveImage(DeletionContext& ctx, DeletionDocument& doc, int& cancel);

// The long path of a stored path (its short names replaced by the long names
// of the folders' DOCFILES.IDX), or the path itself.
std::string longPathOf(const std::string& storedPath);

}  // namespace hv::viewer
