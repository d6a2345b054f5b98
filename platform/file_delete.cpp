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
#include "platform/status.h"
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

hv::Status deleteMatching(const std::string& pattern, bool includeSubfolders);

hv::Status deleteTree(const std::string& folder) {
  std::string dir = hv::platform::withTrailingSlash(folder);
  return deleteMatching(dir + "*", true);
}

// Ok when every matching entry is gone; BadArgument for the file-system root
// or an empty mask; ReadFailed when the folder cannot be listed; WriteFailed
// at the first entry that cannot be removed.
hv::Status deleteMatching(const std::string& pattern, bool includeSubfolders) {
  using hv::Status;
  if (pattern.rfind("/*", 0) == 0) return Status::BadArgument;
  auto slash = pattern.find_last_of('/');
  std::string dir = slash == std::string::npos ? std::string("./") : pattern.substr(0, slash + 1);
  std::string mask = normaliseMask(slash == std::string::npos ? pattern : pattern.substr(slash + 1));
  if (mask.empty() || isRoot(dir)) return Status::BadArgument;

  DIR* d = ::opendir(dir.c_str());
  if (d == nullptr) return Status::ReadFailed;
  Status status = Status::Ok;
  while (status == Status::Ok) {
    errno = 0;
    dirent* e = ::readdir(d);
    if (e == nullptr) {
      if (errno != 0) status = Status::ReadFailed;
      break;
    }
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    if (::fnmatch(mask.c_str(), name.c_str(), FNM_CASEFOLD) != 0) continue;
    std::string full = dir + name;
    struct stat st {};
    if (::lstat(full.c_str(), &st) != 0) {
      status = Status::ReadFailed;
      break;
    }
    if (S_ISDIR(st.st_mode)) {
      if (!includeSubfolders) continue;
      status = deleteTree(full);
      if (status == Status::Ok && ::rmdir(full.c_str()) != 0) status = Status::WriteFailed;
    } else {
      makeWritable(full, st);
      if (::unlink(full.c_str()) != 0) status = Status::WriteFailed;
    }
  }
  ::closedir(d);
  return status;
}

hv::Status deleteFolderTree(const char* folder) {
  using hv::Status;
  if (folder == nullptr || *folder == '\0') return Status::BadArgument;
  std::string given = folder;
  if (given[0] == '\\') return Status::BadArgument;
  std::string path = withForwardSlashes(given);
  if (isDriveRoot(given) || isRoot(path)) {
    hv::platform::showUserMessage("This Application is attempting to remove " + given +
                                  " which is not allowed");
    return Status::BadArgument;
  }
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return Status::NotFound;
  return deleteTree(path);
}

// The 1-or-0 result of the exported deletion functions.
int toDeleteCode(hv::Status status) { return status == hv::Status::Ok ? 1 : 0; }

}  // namespace

extern "C" int DeleteMatchingFiles(const char* pattern, int includeSubfolders) {
  if (pattern == nullptr || *pattern == '\0') return toDeleteCode(hv::Status::BadArgument);
  return toDeleteCode(deleteMatching(withForwardSlashes(pattern), includeSubfolders != 0));
}

extern "C" int DeleteFolderTree(const char* folder) { return toDeleteCode(deleteFolderTree(folder)); }
