#include "platform/file_delete.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fnmatch.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/name_lookup.h"
#include "platform/user_message.h"

namespace {

std::string withForwardSlashes(std::string path) {
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

// "*.*" is the Windows spelling of "every name", dotted or not.
std::string normaliseMask(const std::string& mask) { return mask == "*.*" ? std::string("*") : mask; }

bool isRoot(const std::string& path) {
  char real[PATH_MAX];
  if (::realpath(path.c_str(), real) != nullptr) return std::string(real) == "/";
  return path.find_first_not_of('/') == std::string::npos;
}

bool isDriveRoot(const std::string& path) {
  return hv::platform::equalsIgnoringCase(path, "C:") || hv::platform::equalsIgnoringCase(path, "C:\\") ||
         hv::platform::equalsIgnoringCase(path, "C:/");
}

void makeWritable(const std::string& path, const struct stat& st) {
  if (S_ISREG(st.st_mode)) ::chmod(path.c_str(), (st.st_mode & 07777) | S_IRUSR | S_IWUSR);
}

bool deleteMatching(const std::string& pattern, bool includeSubfolders);

bool deleteTree(const std::string& folder) {
  std::string dir = hv::platform::withTrailingSlash(folder);
  return deleteMatching(dir + "*", true);
}

bool deleteMatching(const std::string& pattern, bool includeSubfolders) {
  if (pattern.rfind("/*", 0) == 0) return false;
  auto slash = pattern.find_last_of('/');
  std::string dir = slash == std::string::npos ? std::string("./") : pattern.substr(0, slash + 1);
  std::string mask = normaliseMask(slash == std::string::npos ? pattern : pattern.substr(slash + 1));
  if (mask.empty() || isRoot(dir)) return false;

  DIR* d = ::opendir(dir.c_str());
  if (d == nullptr) return false;
  bool ok = true;
  while (ok) {
    errno = 0;
    dirent* e = ::readdir(d);
    if (e == nullptr) {
      if (errno != 0) ok = false;
      break;
    }
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    if (::fnmatch(mask.c_str(), name.c_str(), FNM_CASEFOLD) != 0) continue;
    std::string full = dir + name;
    struct stat st {};
    if (::lstat(full.c_str(), &st) != 0) {
      ok = false;
      break;
    }
    if (S_ISDIR(st.st_mode)) {
      if (!includeSubfolders) continue;
      ok = deleteTree(full) && ::rmdir(full.c_str()) == 0;
    } else {
      makeWritable(full, st);
      ok = ::unlink(full.c_str()) == 0;
    }
  }
  ::closedir(d);
  return ok;
}

}  // namespace

extern "C" int DeleteMatchingFiles(const char* pattern, int includeSubfolders) {
  if (pattern == nullptr || *pattern == '\0') return 0;
  return deleteMatching(withForwardSlashes(pattern), includeSubfolders != 0) ? 1 : 0;
}

extern "C" int DeleteFolderTree(const char* folder) {
  if (folder == nullptr || *folder == '\0') return 0;
  std::string given = folder;
  if (given[0] == '\\') return 0;
  std::string path = withForwardSlashes(given);
  if (isDriveRoot(given) || isRoot(path)) {
    hv::platform::showUserMessage("This Application is attempting to remove " + given +
                                  " which is not allowed");
    return 0;
  }
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return 0;
  return deleteTree(path) ? 1 : 0;
}
