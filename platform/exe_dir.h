#pragma once
// Where the running program lives, and where its shipped data files are.
#include <string>

#include "platform/export.h"

namespace hv::platform {

// Directory of the running executable, ending with '/'; "./" if unknown.
HV_EXPORT std::string executableDir();

// Finds a shipped data file: the current directory first, then share/ beside
// the executable, then ../share/halvor/ (an installed tree). Returns the path
// found, or an empty string.
HV_EXPORT std::string findShippedFile(const std::string& name);

}  // namespace hv::platform
