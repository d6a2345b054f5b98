#pragma once
#include "formats/file_manager.h"
#include "platform/export.h"

namespace hv::formats {

// The fields of the "TIFF File Information" dialog.
HV_EXPORT ImageInformation tiffImageInfo(ImageFileRecord* r);

}  // namespace hv::formats
