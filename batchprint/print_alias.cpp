#include "batchprint/print_alias.h"

#include <sys/stat.h>

#include "docindex/docfiles_translate.h"
#include "platform/name_lookup.h"

namespace hv::batchprint {
namespace {

bool exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

// path's short form when a record of an index took part and the result names
// another file that exists.
std::optional<std::string> translated(const std::string& path) {
  auto t = docindex::translateToShort(path);
  if (!t || t->access == 0 || t->path.empty()) return std::nullopt;
  if (platform::equalsIgnoringCase(t->path, path) || !exists(t->path)) return std::nullopt;
  return t->path;
}

}  // namespace

std::string resolvePrintPath(const std::string& listedPath) {
  if (listedPath.empty() || exists(listedPath)) return listedPath;
  std::size_t nameStart = 0;
  for (std::size_t i = 0; i < listedPath.size(); ++i)
    if (docindex::isPathSeparator(listedPath[i])) nameStart = i + 1;
  // Only the file name is cut: a point in a folder name belongs to the folder.
  std::size_t dot = listedPath.find('.', nameStart);
  if (dot != std::string::npos && dot > nameStart) {
    if (auto t = translated(listedPath.substr(0, dot))) return *t;
  }
  if (auto t = translated(listedPath)) return *t;
  return listedPath;
}

std::string resolveListPath(const std::string& listPath) {
  if (listPath.empty() || exists(listPath)) return listPath;
  if (auto t = translated(listPath)) return *t;
  return listPath;
}

}  // namespace hv::batchprint
