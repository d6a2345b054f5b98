#include "platform/status.h"

namespace hv {

const char* statusText(Status status) {
  switch (status) {
    case Status::Ok: return "done";
    case Status::Failed: return "the operation failed";
    case Status::NoHandle: return "no image handle";
    case Status::BadArgument: return "missing or invalid argument";
    case Status::Unsupported: return "not supported";
    case Status::NoImageMemory: return "no image memory loaded";
    case Status::NoMemory: return "out of memory";
    case Status::OutsideImage: return "outside the image";
    case Status::AlignFailed: return "image could not be padded to the alignment";
    case Status::BadRotation: return "not a right angle";
    case Status::TooSmall: return "result buffer too small";
    case Status::BandFailed: return "band could not be scaled or turned";
    case Status::NoContext: return "no decoding context";
    case Status::CodingError: return "invalid coded data";
    case Status::DataEnded: return "the data ended early";
    case Status::AllDelivered: return "no more data";
    case Status::NewStrip: return "done; a new strip begins";
    case Status::ReadFailed: return "read failed";
    case Status::WriteFailed: return "write failed";
    case Status::Stopped: return "stopped";
    case Status::NotFound: return "not found";
    case Status::NothingToDo: return "nothing to change";
    case Status::IndexRemoved: return "done; the index file was removed";
    case Status::Busy: return "held by another process";
  }
  return "unknown status";
}

}  // namespace hv
