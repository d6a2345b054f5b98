#include "viewer/neighbour_list.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>

#include "docindex/docfiles_translate.h"
#include "viewer/file_codes.h"

namespace hv::viewer {

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::toupper(x) == std::toupper(y);
         });
}

bool endsWithIgnoringCase(const std::string& text, const std::string& ending) {
  return text.size() >= ending.size() && equalsIgnoringCase(text.substr(text.size() - ending.size()), ending);
}

std::string upper(std::string text) {
  for (char& c : text) c = char(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

namespace {

bool isBrowserCacheFolder(const std::string& folder) {
  std::string u = upper(folder);
  return u.find("LOCAL SETTINGS") != std::string::npos && u.find("TEMP") != std::string::npos;
}

// A file of unknown kind whose name an alias record of the folder resolves.
bool resolvesThroughAlias(const std::string& path) {
  auto t = hv::docindex::translateToLong(path);
  return t && t->path != path;
}

}  // namespace

int NeighbourList::find(const std::string& name) const {
  for (std::size_t i = 0; i < names_.size(); ++i)
    if (equalsIgnoringCase(names_[i], name)) return int(i);
  return -1;
}

void NeighbourList::clear() {
  names_.clear();
  next_.clear();
  previous_.clear();
}

void NeighbourList::adopt(const std::string& folder, std::vector<std::string> names) {
  names_ = std::move(names);
  watchedFolder_ = folder;
  watch_.open(folder);
}

void NeighbourList::addName(const std::string& name) {
  if (find(name) < 0) names_.push_back(name);
}

bool NeighbourList::removeName(const std::string& name) {
  int i = find(name);
  if (i < 0) return false;
  names_.erase(names_.begin() + i);
  return true;
}

void NeighbourList::build(const std::string& folder, const std::string& name, const NeighbourPolicy& policy) {
  next_.clear();
  previous_.clear();
  if (isBrowserCacheFolder(folder)) {
    names_.clear();
    return;
  }
  bool fired = true;
  if (!watch_.isOpen() || watchedFolder_ != folder) {
    watchedFolder_ = folder;
    watch_.open(folder);
    // A new watch knows nothing yet: only a list adopted for this folder stands.
    fired = names_.empty();
  } else {
    fired = watch_.poll();
  }
  if (!fired && !names_.empty()) {
    int i = find(name);
    if (i >= 0) {
      if (i > 0) previous_ = folder + names_[std::size_t(i) - 1];
      if (std::size_t(i) + 1 < names_.size()) next_ = folder + names_[std::size_t(i) + 1];
      return;
    }
  }
  enumerate(folder, name, policy);
}

void NeighbourList::enumerate(const std::string& folder, const std::string& name, const NeighbourPolicy& policy) {
  ++enumerations_;
  names_.clear();
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  bool passed = false;
  while (dirent* e = readdir(dir)) {
    std::string entry = e->d_name;
    if (entry == "." || entry == ".." || equalsIgnoringCase(entry, "JMX.HOL") ||
        equalsIgnoringCase(entry, "DOCFILES.IDX"))
      continue;
    std::string path = folder + entry;
    if (e->d_type == DT_DIR) continue;
    if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
      struct stat st;
      if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) continue;
    }
    bool isCurrent = equalsIgnoringCase(entry, name);
    bool keep = true;
    if (policy.typeCheck && !isCurrent) {
      FileCodes codes;
      IdentifyFileCodes(path, codes);
      if (!codes.knownKind()) {
        bool excluded = std::any_of(policy.excludedEndings.begin(), policy.excludedEndings.end(),
                                    [&](const std::string& end) { return endsWithIgnoringCase(entry, end); });
        keep = !excluded && ((policy.associated && policy.associated(path)) || resolvesThroughAlias(path));
      }
    }
    if (!keep) continue;
    names_.push_back(entry);
    if (isCurrent) {
      passed = true;
    } else if (!passed) {
      previous_ = path;
    } else if (next_.empty()) {
      next_ = path;
    }
  }
  closedir(dir);
  if (!passed) previous_.clear();
}

void NeighbourList::recomputeAfterDelete(const std::string& folder, const std::string& currentName) {
  auto baseName = [](const std::string& p) {
    auto slash = p.find_last_of('/');
    return slash == std::string::npos ? p : p.substr(slash + 1);
  };
  int nextIndex = next_.empty() ? -1 : find(baseName(next_));
  int previousIndex = previous_.empty() ? -1 : find(baseName(previous_));
  int current = find(currentName);
  auto full = [&](const std::string& entry) {
    return entry.find('/') == std::string::npos ? folder + entry : entry;
  };
  int count = int(names_.size());
  if (nextIndex < 0 && current >= 0 && current + 1 < count) nextIndex = current + 1;
  if (previousIndex < 0 && current >= 1) previousIndex = current - 1;
  next_ = nextIndex >= 0 ? full(names_[std::size_t(nextIndex)]) : std::string();
  previous_ = previousIndex >= 0 ? full(names_[std::size_t(previousIndex)]) : std::string();
}

}  // namespace hv::viewer
