#pragma once
// Status codes of the image engine: 0 for success, negative for failures.
#include "platform/export.h"

enum GrxError : int {
  GRX_OK = 0,
  GRX_FAILED = -1,           // a display or mapping step could not be done
  GRX_NO_HANDLE = -2,        // no image handle was given
  GRX_BAD_ARGUMENT = -3,     // an argument is missing or invalid
  GRX_BAD_FORMAT = -4,       // the target format code is not one the engine writes
  GRX_NO_IMAGE_MEMORY = -6,  // the image has no image memory loaded
  GRX_NO_MEMORY = -8,        // memory could not be allocated
  GRX_OUTSIDE_IMAGE = -13,   // a rectangle lies outside the image
  GRX_ALIGN_FAILED = -15,    // the image could not be padded to the alignment asked for
  GRX_ROTATE_FAILED = -17,   // a band could not be rotated
};

extern "C" {
// A short English description of a status code.
HV_EXPORT const char* grxErrorText(int status);
}
