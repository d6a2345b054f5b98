#include "platform/exe_dir.h"

#include <climits>
#include <unistd.h>

namespace hv::platform {
namespace {

bool exists(const std::string& path) { return ::access(path.c_str(), R_OK) == 0; }

}  // namespace

std::string executableDir() {
  char buf[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "./";
  std::string path(buf, static_cast<std::size_t>(n));
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::string findShippedFile(const std::string& name) {
  if (exists(name)) return name;
  std::string dir = executableDir();
  for (const std::string& candidate : {dir + "share/" + name, dir + "../share/halvor/" + name})
    if (exists(candidate)) return candidate;
  return {};
}

}  // namespace hv::platform
