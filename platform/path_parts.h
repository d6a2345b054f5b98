#pragma once
// The folder and name parts of a local path ('/' separators only; paths read
// from records and lists are split by their own readers).
#include <string>

namespace hv::platform {

// The folder of PATH ending with '/', or "./" when PATH names no folder.
inline std::string folderOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

// The last component of PATH.
inline std::string nameOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace hv::platform
