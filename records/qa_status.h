#pragma once
// QA state of job folders, held in empty marker files: the lock rule that
// protects images from change, and the work of the Mark QA Complete and
// Cleanup commands (their folder choice and questions belong to the viewer).
#include <string>

#include "platform/export.h"
#include "platform/status.h"

namespace hv::records {

// Receives the progress texts of folder-wide commands (the viewer shows them
// in its status bar; tests collect them).
class HV_EXPORT StatusSink {
 public:
  virtual ~StatusSink() = default;
  virtual void showStatus(const std::string& text) = 0;
};

// The directory of a path: the part before its last '/', with doubled
// separators collapsed and exactly one '/' at the end ("./" for a bare name).
HV_EXPORT std::string directoryOfPath(const std::string& path);

// True when the image file exists and may be written (it has a write
// permission bit and the access test passes, so a read-only file counts as
// read-only even for the superuser) and none of "COMPLETE.QA", "UPLOAD.QA",
// "WAITXLAT.QA" exists in its directory. *waitingForTranslation (optional)
// is cleared on entry and set when "WAITXLAT.QA" is the only reason for false.
HV_EXPORT bool jobFolderEditable(const std::string& imagePath, bool* waitingForTranslation);

// The lock rule: an image with a Hollerith record (recordIndex != -1) whose
// INDEX.HOL directory holds "INDEX.QAD" is locked; otherwise an image with a
// path is locked unless its job folder is editable; no path, not locked.
HV_EXPORT bool isQaLocked(long recordIndex, const std::string& indexDirectory, const std::string& imagePath);

// Creates "COMPLETE.QA" in folder (kept when it exists in any case) and makes
// the regular files matching "OPTI*" and "*.HOL" (ignoring case) read-only.
// Ok when the marker exists and every file was made read-only; ReadFailed
// when the folder cannot be listed, else WriteFailed when the marker could
// not be made or a file could not be made read-only (the others still are).
HV_EXPORT Status markQaComplete(const std::string& folder);

// Removes the files matching "*.OVL", "*.BAK" and "*.TG4" in folder (not in
// subfolders), showing "Removing:  <pattern path>" before each pattern and
// "Completed Removal of OVL,BAK and TG4 files" at the end. Ok when every
// removal succeeded, else WriteFailed (the other patterns are still tried).
HV_EXPORT Status cleanupFolder(const std::string& folder, StatusSink& sink);

}  // namespace hv::records
