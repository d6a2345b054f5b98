#pragma once
// The integer results of the exported long-path file operations
// (deleteLongFile, renameLongFile, registerLongName), made from the Status of
// the work behind them in the manner of the system calls they stand beside:
// 0 or a descriptor when done, else -1 with errno set. The numbering is
// written down here and nowhere else.
#include "platform/status.h"

namespace hv::docindex {

// The result shapes of the family.
enum class DocFilesCall {
  Plain,       // 0 when done; -1 with errno from the Status otherwise (see toDocFilesCode)
  Descriptor,  // the open descriptor when done; -1 with errno ENOENT otherwise
};

// For Plain, the errno of a failure is
//   NotFound     ENOENT  (the file, or its record, is not there)
//   NothingToDo  EACCES  (refused before anything changed: the file is read-only)
//   Unsupported  EXDEV   (an aliased file cannot move to another folder)
//   BadArgument  EINVAL
//   Failed       left as the failed system call set it
//   others       ENOENT
int toDocFilesCode(DocFilesCall call, Status status, int value = 0);

inline int toDocFilesCode(DocFilesCall call, const Result<int>& result) {
  return toDocFilesCode(call, result.status(), result.ok() ? result.value() : 0);
}

}  // namespace hv::docindex
