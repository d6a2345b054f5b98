#include "platform/name_lookup.h"

#include <dirent.h>
#include <sys/stat.h>

namespace hv::platform {
namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  return true;
}

std::string withTrailingSlash(const std::string& folder) {
  if (folder.empty()) return "./";
  std::string out = folder;
  while (out.size() > 1 && out.back() == '/' && out[out.size() - 2] == '/') out.pop_back();
  if (out.back() != '/') out.push_back('/');
  return out;
}

std::optional<std::string> findEntryIgnoringCase(const std::string& folder, std::string_view name) {
  if (name.empty() || name.find('/') != std::string_view::npos) return std::nullopt;
  const std::string dir = withTrailingSlash(folder);
  struct stat st {};
  std::string exact = dir + std::string(name);
  if (::lstat(exact.c_str(), &st) == 0) return std::string(name);
  DIR* d = ::opendir(dir.c_str());
  if (d == nullptr) return std::nullopt;
  std::optional<std::string> best;
  while (dirent* e = ::readdir(d)) {
    std::string_view entry = e->d_name;
    if (!equalsIgnoringCase(entry, name)) continue;
    if (!best || entry < *best) best = std::string(entry);
  }
  ::closedir(d);
  return best;
}

std::string fixedNamePath(const std::string& folder, std::string_view name) {
  const std::string dir = withTrailingSlash(folder);
  auto found = findEntryIgnoringCase(dir, name);
  return dir + (found ? *found : std::string(name));
}

bool fixedNameExists(const std::string& folder, std::string_view name) {
  return findEntryIgnoringCase(folder, name).has_value();
}

}  // namespace hv::platform
