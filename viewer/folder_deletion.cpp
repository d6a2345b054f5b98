#include "viewer/folder_deletion.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "docindex/docfiles_store.h"
#include "docindex/docfiles_translate.h"

namespace hv::viewer {

namespace {

std::string withoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// Removes the entries of the open directory dirFd, then the entry name of
// parentFd. Every step goes through descriptors with O_NOFOLLOW, so a link
// swapped in for a folder during the walk is never entered.
bool removeAt(int parentFd, const std::string& name) {
  struct stat st {};
  if (::fstatat(parentFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT;
  if (!S_ISDIR(st.st_mode)) {
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) return false;  // a system file
    return ::unlinkat(parentFd, name.c_str(), 0) == 0;
  }
  // A folder without owner permissions cannot be listed or emptied.
  if ((st.st_mode & S_IRWXU) != S_IRWXU) ::fchmodat(parentFd, name.c_str(), (st.st_mode & 07777) | S_IRWXU, 0);
  int fd = ::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  DIR* dir = ::fdopendir(fd);
  if (dir == nullptr) {
    ::close(fd);
    return false;
  }
  bool ok = true;
  while (dirent* e = ::readdir(dir)) {
    std::string entry = e->d_name;
    if (entry == "." || entry == "..") continue;
    // Keep going after a failure so that as much as possible goes.
    if (!removeAt(fd, entry)) ok = false;
  }
  ::closedir(dir);
  return ok && ::unlinkat(parentFd, name.c_str(), AT_REMOVEDIR) == 0;
}

}  // namespace

bool removeFolderRecursively(const std::string& path) {
  std::string clean = withoutTrailingSlashes(path);
  if (clean.empty() || clean == "/") return false;
  std::string folder, name;
  hv::docindex::splitPath(clean, folder, name);
  if (name.empty() || name == "." || name == "..") return false;
  int parentFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (parentFd < 0) return false;
  bool ok = removeAt(parentFd, name);
  ::close(parentFd);
  return ok;
}

int DeleteFolder(DeletionContext& ctx, const std::string& folder, int& cancel) {
  if (folder.size() < 2) return 0;
  const std::string longPath = withoutTrailingSlashes(folder);
  auto t = hv::docindex::translateToShort(longPath);
  const std::string stored = t ? withoutTrailingSlashes(t->path) : longPath;

  if (stored != longPath) {
    if (ctx.prompts.ask("Are you sure you wish to continue with the deletion of folder\n" + longPath +
                            "\nand all of its contents.\n\nThere is no recycle bin!",
                        PromptButtons::YesNo, PromptIcon::Question) != PromptAnswer::Yes) {
      cancel = 1;
      return 1;
    }
    std::string parent, longName;
    hv::docindex::splitPath(longPath, parent, longName);
    char access = 0;
    if (hv::docindex::removeRecord(parent, longName, &access) != hv::Status::Ok) return 0;
  }
  const std::string saved = ctx.prompts.statusText();
  ctx.prompts.showStatus("Deleting Folder");
  bool ok = removeFolderRecursively(stored);
  ctx.prompts.showStatus(saved);
  return ok ? 1 : 0;
}

}  // namespace hv::viewer
