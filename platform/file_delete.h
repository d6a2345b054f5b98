#pragma once
// Pattern and tree deletion used by the QA cleanup, by document close and by
// folder deletion. Exported with C linkage (DeleteMatchingFiles,
// DeleteFolderTree) for the desktop programs.
//
// Separators: '/' separates; a '\' in the argument is taken as a separator as
// well, since these paths may come from records and lists written on Windows.
#include "platform/export.h"

extern "C" {

// Removes the files of the pattern's folder whose names match its mask (a
// shell wildcard, compared ignoring case; "*.*" matches every name). With
// includeSubfolders non-zero, matching subfolders are emptied with
// DeleteFolderTree and removed as well. Symbolic links are removed, never
// followed. Returns 1 when every removal succeeded, 0 on the first failure.
// A pattern on the file-system root ("/*...") removes nothing and gives 0.
[[nodiscard]] HV_EXPORT int DeleteMatchingFiles(const char* pattern, int includeSubfolders);

// Removes everything inside folder (the folder itself stays). The root of the
// file system is refused with the message "This Application is attempting to
// remove %s which is not allowed"; a path that starts with '\', an empty path
// and a missing folder give 0 without a message. 1 when the contents are gone.
[[nodiscard]] HV_EXPORT int DeleteFolderTree(const char* folder);
}
