#include "docindex/docfiles_translate.h"

#include <atomic>
#include <climits>
#include <sys/stat.h>
#include <vector>

#include "docindex/docfiles_cache.h"
#include "docindex/docfiles_layout.h"
#include "platform/name_lookup.h"

namespace hv::docindex {
namespace {

// Process-wide mode, switched from any thread.
std::atomic<bool> g_slashMode{false};

// One component of a path and the separators that follow it.
struct Piece {
  std::string name;
  std::string separators;
};

// Leading separators (an absolute path) and the components.
std::vector<Piece> splitComponents(const std::string& path, std::string& lead) {
  std::size_t i = 0;
  lead.clear();
  while (i < path.size() && isPathSeparator(path[i])) lead.push_back('/'), ++i;
  std::vector<Piece> out;
  while (i < path.size()) {
    Piece p;
    while (i < path.size() && !isPathSeparator(path[i])) p.name.push_back(path[i++]);
    while (i < path.size() && isPathSeparator(path[i])) p.separators.push_back('/'), ++i;
    out.push_back(std::move(p));
  }
  return out;
}

bool existsAsWritten(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

// The first usable record of folder's index matching name by long name
// (byLong) or by short name, ignoring case.
const DocFileRecord* lookup(const std::string& folder, const std::string& name, bool byLong,
                            std::shared_ptr<const RecordList>& hold) {
  auto path = indexPath(folder);
  if (!path) return nullptr;
  hold = cachedIndex(*path);
  if (!hold) return nullptr;
  for (const auto& r : *hold) {
    if (!r.usable()) continue;
    if (platform::equalsIgnoringCase(byLong ? r.longName() : r.shortName(), name)) return &r;
  }
  return nullptr;
}

std::optional<Translation> translate(const std::string& input, bool toShort) {
  if (input.empty()) return std::nullopt;
  std::string lead;
  auto pieces = splitComponents(input, lead);
  std::string onDisk = lead;  // the real (short) path built so far
  Translation out;
  out.path = lead;
  for (const auto& p : pieces) {
    std::string replaced = p.name;
    const bool special = p.name == "." || p.name == "..";
    if (!special && (!toShort || !existsAsWritten(onDisk + p.name))) {
      std::shared_ptr<const RecordList> hold;
      if (const DocFileRecord* r = lookup(onDisk.empty() ? "./" : onDisk, p.name, toShort, hold)) {
        replaced = toShort ? r->shortName() : r->longName();
        out.access = r->access();
      }
    }
    onDisk += (toShort ? replaced : p.name) + p.separators;
    out.path += replaced + p.separators;
  }
  return out;
}

}  // namespace

void slashModeOn() { g_slashMode = true; }
void slashModeOff() { g_slashMode = false; }
bool slashMode() { return g_slashMode; }
bool isPathSeparator(char c) { return c == '/' || (g_slashMode && c == '\\'); }

std::optional<std::string> indexPath(const std::string& folder) {
  std::string dir = folder.empty() ? std::string("./") : folder;
  if (!isPathSeparator(dir.back())) dir.push_back('/');
  if (g_slashMode)
    for (char& c : dir)
      if (c == '\\') c = '/';
  if (dir.size() + sizeof "OPTI*.ALS" >= PATH_MAX) return std::nullopt;
  return platform::fixedNamePath(dir, layout::kIndexName);
}

std::optional<Translation> translateToShort(const std::string& longPath) { return translate(longPath, true); }

std::optional<Translation> translateToLong(const std::string& shortPath) { return translate(shortPath, false); }

bool isLongName(const std::string& path) {
  if (path.empty() || existsAsWritten(path)) return false;
  std::string folder, name, shortFolder, shortName;
  splitPath(path, folder, name);
  auto t = translateToShort(path);
  if (!t) return false;
  splitPath(t->path, shortFolder, shortName);
  return shortName != name || name.size() == layout::kLongNameSize;
}

void splitPath(const std::string& path, std::string& folder, std::string& name) {
  std::size_t cut = std::string::npos;
  for (std::size_t i = path.size(); i-- > 0;)
    if (isPathSeparator(path[i])) {
      cut = i;
      break;
    }
  if (cut == std::string::npos) {
    folder = "./";
    name = path;
  } else {
    folder = path.substr(0, cut + 1);
    name = path.substr(cut + 1);
  }
}

}  // namespace hv::docindex
