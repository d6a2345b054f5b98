#include "engine/grx_status.h"

extern "C" const char* grxErrorText(int status) {
  switch (status) {
    case GRX_OK: return "success";
    case GRX_FAILED: return "the operation failed";
    case GRX_NO_HANDLE: return "no image handle";
    case GRX_BAD_ARGUMENT: return "missing or invalid argument";
    case GRX_BAD_FORMAT: return "target format cannot be written";
    case GRX_NO_IMAGE_MEMORY: return "no image memory loaded";
    case GRX_NO_MEMORY: return "out of memory";
    case GRX_OUTSIDE_IMAGE: return "rectangle outside the image";
    case GRX_ALIGN_FAILED: return "image could not be padded to the alignment";
    case GRX_ROTATE_FAILED: return "band could not be rotated";
    default: return "unknown status";
  }
}
