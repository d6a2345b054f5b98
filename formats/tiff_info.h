#pragma once
#include "formats/file_manager.h"

namespace hv::formats {

// The fields of the "TIFF File Information" dialog.
ImageInformation tiffImageInfo(ImageFileRecord* r);

}  // namespace hv::formats
