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
  if (!platform::readWholeFile(path, bytes, kMaxIndexFileBytes)) return std::nullopt;
  return bytes;
}

std::string withLineEnd(std::string records) {
  records += "\r\n";
  return records;
}

bool editIndexFile(const std::string& folder, const char* name,
                   const std::function<IndexEdit(std::optional<std::string>& contents)>& edit) {
  platform::FolderLock lock(folder);
  if (!lock.locked()) return false;
  const std::string path = indexFilePath(folder, name);
  std::optional<std::string> contents;
  unsigned mode = kNewIndexMode;
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) return false;
    contents = readIndexFile(path);
    if (!contents) return false;
    mode = (st.st_mode & 07777) | S_IRUSR | S_IWUSR;
  } else if (errno != ENOENT) {
    return false;
  }
  switch (edit(contents)) {
    case IndexEdit::Keep:
      return false;
    case IndexEdit::Remove:
      return !contents || platform::removeFileDurably(path);
    case IndexEdit::Write:
      return contents && platform::rewriteFileSafely(path, *contents, mode);
  }
  return false;
}

bool sameKey(const char* a, const char* b) {
  for (int i = 0; i < 4; ++i)
    if (upper(a[i]) != upper(b[i])) return false;
  return true;
}

}  // namespace hv::records
