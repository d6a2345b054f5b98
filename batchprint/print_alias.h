#pragma once
// The alias translation the batch print program applies to the paths it is
// given: list paths may name images by their long names, which the folder's
// DOCFILES.IDX maps to the short names the files are stored under.
#include <string>

#include "platform/export.h"

namespace hv::batchprint {

// The file to open for a path read from a batch print file list.
//
// The long names of an index are often kept without an extension, so the
// path's file name is cut at its first "." (only the file name: folder names
// often hold points) and the cut path is translated to its short form. The
// translation is used only when it names a different, existing file; else
// the whole path is translated the same way (a long name kept with its
// extension); else the path is used as listed.
HV_EXPORT std::string resolvePrintPath(const std::string& listedPath);

// The batch print file list path given on the command line, translated to
// its short form when that names an existing file, else as given.
HV_EXPORT std::string resolveListPath(const std::string& listPath);

}  // namespace hv::batchprint
