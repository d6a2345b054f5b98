#pragma once
// Where the running program lives, and where its shipped data files are.
#include <string>

namespace hv::platform {

// Directory of the running executable, ending with '/'; "./" if unknown.
std::string executableDir();

// Finds a shipped data file: the current directory first, then share/ beside
// the executable, then ../share/halvor/ (an installed tree). Returns the path
// found, or an empty string.
std::string findShippedFile(const std::string& name);

}  // namespace hv::platform
