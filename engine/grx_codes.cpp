#include "engine/grx_codes.h"

#include "engine/display.h"
#include "engine/grx_status.h"

namespace hv::engine {

int toGrxCode(Status status) {
  switch (status) {
    case Status::Ok: return GRX_OK;
    case Status::NoHandle: return GRX_NO_HANDLE;
    case Status::BadArgument: return GRX_BAD_ARGUMENT;
    case Status::Unsupported: return GRX_BAD_FORMAT;
    case Status::NoImageMemory: return GRX_NO_IMAGE_MEMORY;
    case Status::NoMemory: return GRX_NO_MEMORY;
    case Status::OutsideImage: return GRX_OUTSIDE_IMAGE;
    case Status::AlignFailed: return GRX_ALIGN_FAILED;
    case Status::NoContext: return GRX_RENDER_NO_CONTEXT;
    case Status::CodingError: return GRX_RENDER_DECODE_ERROR;
    case Status::BandFailed: return GRX_RENDER_SCALE_ERROR;
    case Status::BadRotation: return GRX_RENDER_BAD_ROTATION;
    case Status::Stopped: return GRX_RENDER_STOPPED;
    default: return GRX_FAILED;
  }
}

int toGrxFlag(Status status) { return status == Status::Ok ? 1 : 0; }

}  // namespace hv::engine
