#include "docindex/docfiles_fileops.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include "docindex/docfiles_codes.h"
#include "docindex/docfiles_store.h"
#include "docindex/docfiles_translate.h"
#include "platform/file_io.h"
#include "platform/name_lookup.h"

namespace hv::docindex {
namespace {

std::string storedPath(const std::string& longPath) {
  auto t = translateToShort(longPath);
  return t ? t->path : longPath;
}

// Deletes an aliased file and its record. A record that cannot be removed
// after the file went counts as missing (NotFound), as it always has for the
// callers of deleteLongFile.
Status deleteAliasedFile(const std::string& longPath, const char* shortPath) {
  std::string stored = shortPath != nullptr ? std::string(shortPath) : storedPath(longPath);
  std::string longFolder, longName, folder, name;
  splitPath(longPath, longFolder, longName);
  splitPath(stored, folder, name);
  struct stat st {};
  if (::lstat(stored.c_str(), &st) != 0) return Status::NotFound;
  if ((st.st_mode & 0222) == 0) return Status::NothingToDo;  // read-only: refused, nothing changed
  if (name == longName) return Status::NotFound;  // not an aliased file: no record to remove
  if (::unlink(stored.c_str()) != 0) return Status::Failed;
  char access = 0;
  return removeRecord(folder, longName, &access) == Status::Ok ? Status::Ok : Status::NotFound;
}

// Renames a plain file, or changes the long name of an aliased one. A record
// that cannot be changed counts as missing (NotFound), as it always has for
// the callers of renameLongFile.
Status renameByLongPath(const std::string& oldLongPath, const std::string& newLongPath) {
  std::string oldFolder, oldName, newFolder, newName;
  splitPath(oldLongPath, oldFolder, oldName);
  splitPath(newLongPath, newFolder, newName);
  const std::string stored = storedPath(oldLongPath);
  std::string folder, shortName;
  splitPath(stored, folder, shortName);
  if (shortName == oldName) {
    const std::string target = platform::withTrailingSlash(storedPath(newFolder)) + newName;
    return ::renameat2(AT_FDCWD, stored.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0 ? Status::Ok
                                                                                                   : Status::Failed;
  }
  if (storedPath(newFolder) != storedPath(oldFolder)) return Status::Unsupported;
  return updateLongName(folder, shortName, newName) == Status::Ok ? Status::Ok : Status::NotFound;
}

}  // namespace

int deleteLongFile(const std::string& longPath, const char* shortPath) {
  return toDocFilesCode(DocFilesCall::Plain, deleteAliasedFile(longPath, shortPath));
}

int renameLongFile(const std::string& oldLongPath, const std::string& newLongPath) {
  return toDocFilesCode(DocFilesCall::Plain, renameByLongPath(oldLongPath, newLongPath));
}

int statLongFile(const std::string& longPath, struct stat* st) {
  if (st == nullptr) return toDocFilesCode(DocFilesCall::Plain, Status::BadArgument);
  return ::stat(storedPath(longPath).c_str(), st);
}

int openLongFile(const std::string& longPath, int flags, unsigned mode) {
  return platform::openFile(storedPath(longPath).c_str(), flags, mode);
}

std::int64_t seekLongFile(int fd, std::int64_t offset, int whence) { return platform::seekFile(fd, offset, whence); }

int closeLongFile(int fd) { return fd >= 0 && ::close(fd) == 0 ? 0 : -1; }

long readLongFile(int fd, void* buf, std::size_t n) { return platform::readFull(fd, buf, n); }

bool writeLongFile(int fd, const void* buf, std::size_t n) { return platform::writeFull(fd, buf, n); }

int endOfLongFile(int fd) {
  std::int64_t pos = platform::seekFile(fd, 0, SEEK_CUR);
  std::int64_t size = platform::fileSize(fd);
  if (pos < 0 || size < 0) return -1;
  return pos >= size ? 1 : 0;
}

}  // namespace hv::docindex
