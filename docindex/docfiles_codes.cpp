#include "docindex/docfiles_codes.h"

#include <cerrno>

namespace hv::docindex {
namespace {

int errnoOf(Status status) {
  switch (status) {
    case Status::NotFound: return ENOENT;
    case Status::NothingToDo: return EACCES;
    case Status::Unsupported: return EXDEV;
    case Status::BadArgument: return EINVAL;
    case Status::Failed: return errno;
    default: return ENOENT;
  }
}

}  // namespace

int toDocFilesCode(DocFilesCall call, Status status, int value) {
  if (status == Status::Ok) return call == DocFilesCall::Descriptor ? value : 0;
  errno = call == DocFilesCall::Descriptor ? ENOENT : errnoOf(status);
  return -1;
}

}  // namespace hv::docindex
