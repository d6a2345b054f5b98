#include "records/index_file.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "platform/file_io.h"
#include "platform/file_lock.h"
#include "platform/name_lookup.h"
#include "platform/safe_rewrite.h"

namespace hv::records {
namespace {

constexpr unsigned kNewIndexMode = 0644;

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::optional<std::string> folderArgument(const char* directory) {
  if (directory == nullptr || *directory == '\0') return std::nullopt;
  return platform::withTrailingSlash(directory);
}

std::string indexFilePath(const std::string& folder, const char* name) {
  return platform::fixedNamePath(folder, name);
}

std::optional<std::string> readIndexFile(const std::string& path) {
  std::string bytes;
  if (platform::readWholeFile(path, bytes, kMaxIndexFileBytes) != Status::Ok) return std::nullopt;
  return bytes;
}

std::string withLineEnd(std::string records) {
  records += "\r\n";
  return records;
}

Status editIndexFile(const std::string& folder, const char* name,
                     const std::function<IndexEdit(std::optional<std::string>& contents)>& edit) {
  platform::FolderLock lock(folder);
  if (lock.status() != Status::Ok) return Status::Failed;
  const std::string path = indexFilePath(folder, name);
  std::optional<std::string> contents;
  unsigned mode = kNewIndexMode;
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) return Status::Failed;
    contents = readIndexFile(path);
    if (!contents) return Status::ReadFailed;
    mode = (st.st_mode & 07777) | S_IRUSR | S_IWUSR;
  } else if (errno != ENOENT) {
    return Status::ReadFailed;
  }
  switch (edit(contents)) {
    case IndexEdit::Keep:
      return Status::NothingToDo;
    case IndexEdit::Remove:
      // Removing a file that is not there changes nothing.
      if (!contents) return Status::NothingToDo;
      if (Status s = platform::removeFileDurably(path); s != Status::Ok) return s;
      return Status::IndexRemoved;
    case IndexEdit::Write:
      if (!contents) return Status::NothingToDo;
      return platform::rewriteFileSafely(path, *contents, mode);
  }
  return Status::Failed;
}

bool sameKey(const char* a, const char* b) {
  for (int i = 0; i < 4; ++i)
    if (upper(a[i]) != upper(b[i])) return false;
  return true;
}

}  // namespace hv::records
