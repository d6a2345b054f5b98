#include "docindex/docfiles_store.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "docindex/docfiles_cache.h"
#include "docindex/docfiles_translate.h"
#include "platform/file_io.h"
#include "platform/file_lock.h"
#include "platform/name_lookup.h"

namespace hv::docindex {
namespace {

// Process-wide modes, switched from any thread.
std::atomic<bool> g_defaultTif{false};
std::atomic<bool> g_defaultPdf{false};

constexpr int kNumberTable = 8000;
constexpr std::size_t kMaxShortName = layout::kShortNameSize - 1;

// Number of an "OPTI..." name: the run of digits right before its last '.'
// (or at its end). -1 when there are none, -2 when there are more than four.
long optiNumber(const std::string& name) {
  std::size_t end = name.find_last_of('.');
  if (end == std::string::npos || end < 4) end = name.size();
  std::size_t begin = end;
  while (begin > 4 && name[begin - 1] >= '0' && name[begin - 1] <= '9') --begin;
  if (begin == end) return -1;
  if (end - begin > 4) return -2;
  return std::stol(name.substr(begin, end - begin));
}

std::string formatName(long number, const char* extension) {
  char digits[32];
  std::snprintf(digits, sizeof digits, "OPTI%04ld", number);
  std::string ext;
  if (extension == nullptr) {
    ext = g_defaultTif ? ".TIF" : g_defaultPdf ? ".PDF" : ".ALS";
  } else if (*extension == '\0') {
    ext = ".ALS";
  } else if (*extension == '.') {
    ext = extension;
  } else {
    ext = std::string(".") + extension;
  }
  return digits + ext;
}

// Runs an edit of folder's index under its lock.
template <typename Edit>
bool editIndex(const std::string& folder, Edit edit) {
  auto path = indexPath(folder);
  if (!path) return false;
  platform::FolderLock lock(folder);
  if (lock.status() != Status::Ok) return false;
  RecordList records;
  bool exists = false;
  if (!readIndexFresh(*path, records, exists)) return false;
  if (!edit(records, exists)) return false;
  return storeIndex(*path, std::move(records));
}

bool validShortName(const std::string& s) { return s.size() <= kMaxShortName && isPlainComponent(s); }

}  // namespace

void setDefaultTifMode(bool on) { g_defaultTif = on; }
void setDefaultPdfMode(bool on) { g_defaultPdf = on; }

std::optional<std::string> newShortName(const std::string& folder, const char* extension) {
  if (folder.size() + sizeof "OPTI*" >= PATH_MAX) return std::nullopt;
  const std::string dir = platform::withTrailingSlash(folder);
  DIR* d = ::opendir(dir.c_str());
  if (d == nullptr) return std::nullopt;
  std::vector<bool> used(kNumberTable, false);
  long largest = -1;
  long matches = 0;
  bool tooLong = false;
  while (dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name.size() < 4 || !platform::equalsIgnoringCase(name.substr(0, 4), "OPTI")) continue;
    ++matches;
    long n = optiNumber(name);
    if (n == -2) tooLong = true;
    if (n < 0) continue;
    largest = std::max(largest, n);
    if (n < kNumberTable) used[static_cast<std::size_t>(n)] = true;
  }
  ::closedir(d);
  if (tooLong) return std::nullopt;
  long number = -1;
  if (matches <= kNumberTable)
    for (long i = 0; i < kNumberTable && number < 0; ++i)
      if (!used[static_cast<std::size_t>(i)]) number = i;
  if (number < 0) number = largest + 1;
  return formatName(number, extension);
}

bool appendRecord(const std::string& folder, const std::string& longName, const std::string& shortName,
                  char access) {
  if (longName.size() > layout::kLongNameSize || !isPlainComponent(longName) || !validShortName(shortName))
    return false;
  return editIndex(folder, [&](RecordList& records, bool) {
    const DocFileRecord* last = records.empty() ? nullptr : &records.back();
    records.push_back(DocFileRecord::make(longName, shortName, access, last));
    return true;
  });
}

bool removeRecord(const std::string& folder, const std::string& longName, char* access) {
  bool found = false;
  char letter = 0;
  bool ok = editIndex(folder, [&](RecordList& records, bool) {
    RecordList kept;
    kept.reserve(records.size());
    for (auto& r : records) {
      if (platform::equalsIgnoringCase(r.longName(), longName)) {
        found = true;
        letter = r.access();
      } else {
        kept.push_back(r);
      }
    }
    records.swap(kept);
    return found;
  });
  if (ok && access != nullptr) *access = letter;
  return ok;
}

bool updateLongName(const std::string& folder, const std::string& shortName, const std::string& newLongName) {
  return editIndex(folder, [&](RecordList& records, bool) {
    DocFileRecord* target = nullptr;
    for (auto& r : records) {
      if (!r.usable()) continue;
      if (platform::equalsIgnoringCase(r.longName(), newLongName) &&
          !platform::equalsIgnoringCase(r.shortName(), shortName))
        return false;  // another file already has that long name
      if (target == nullptr && platform::equalsIgnoringCase(r.shortName(), shortName)) target = &r;
    }
    return target != nullptr && target->setLongName(newLongName);
  });
}

int registerLongName(const std::string& longPath, int permission, const char* extension) {
  std::string folder, longName;
  splitPath(longPath, folder, longName);
  auto shortFolder = translateToShort(folder);
  if (!shortFolder || longName.size() > layout::kLongNameSize || !isPlainComponent(longName)) {
    errno = ENOENT;
    return -1;
  }
  const std::string dir = platform::withTrailingSlash(shortFolder->path);
  platform::FolderLock lock(dir);
  auto shortName = lock.status() == Status::Ok ? newShortName(dir, extension) : std::nullopt;
  if (!shortName || !validShortName(*shortName)) {
    errno = ENOENT;
    return -1;
  }
  const bool readOnly = permission == 256;
  const std::string path = dir + *shortName;
  int fd = platform::openFile(path.c_str(), O_CREAT | O_EXCL | O_RDWR, readOnly ? 0444 : 0644);
  if (fd < 0) {
    errno = ENOENT;
    return -1;
  }
  if (!appendRecord(dir, longName, *shortName, readOnly ? 'R' : 'W')) {
    platform::closeFile(fd);
    ::unlink(path.c_str());
    errno = ENOENT;
    return -1;
  }
  return fd;
}

}  // namespace hv::docindex
