#include "docindex/docfiles_store.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "docindex/docfiles_cache.h"
#include "docindex/docfiles_codes.h"
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
// (or at its end). NotFound when there are none, Unsupported when there are
// more than four.
Result<long> optiNumber(const std::string& name) {
  std::size_t end = name.find_last_of('.');
  if (end == std::string::npos || end < 4) end = name.size();
  std::size_t begin = end;
  while (begin > 4 && name[begin - 1] >= '0' && name[begin - 1] <= '9') --begin;
  if (begin == end) return Status::NotFound;
  if (end - begin > 4) return Status::Unsupported;
  return std::stol(name.substr(begin, end - begin));
}

// The number of the next short name of the folder dir (ending in '/'): the
// lowest one below 8000 that no "OPTI" entry uses, else one above the
// largest. Unsupported when an entry has more than four digits, ReadFailed
// when the folder cannot be listed.
Result<long> freeOptiNumber(const std::string& dir) {
  DIR* d = ::opendir(dir.c_str());
  if (d == nullptr) return Status::ReadFailed;
  std::vector<bool> used(kNumberTable, false);
  long largest = -1;
  long matches = 0;
  bool tooLong = false;
  while (dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name.size() < 4 || !platform::equalsIgnoringCase(name.substr(0, 4), "OPTI")) continue;
    ++matches;
    const Result<long> n = optiNumber(name);
    if (n.status() == Status::Unsupported) tooLong = true;
    if (!n) continue;
    largest = std::max(largest, n.value());
    if (n.value() < kNumberTable) used[static_cast<std::size_t>(n.value())] = true;
  }
  ::closedir(d);
  if (tooLong) return Status::Unsupported;
  if (matches <= kNumberTable)
    for (long i = 0; i < kNumberTable; ++i)
      if (!used[static_cast<std::size_t>(i)]) return i;
  return largest + 1;
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

// Runs an edit of folder's index under its lock; the edit's own Status when
// it declines, else that of storing the result.
template <typename Edit>
Status editIndex(const std::string& folder, Edit edit) {
  auto path = indexPath(folder);
  if (!path) return Status::BadArgument;
  platform::FolderLock lock(folder);
  if (lock.status() != Status::Ok) return Status::Failed;
  RecordList records;
  bool exists = false;
  if (const Status read = readIndexFresh(*path, records, exists); read != Status::Ok) return read;
  if (const Status edited = edit(records); edited != Status::Ok) return edited;
  return storeIndex(*path, std::move(records));
}

bool validShortName(const std::string& s) { return s.size() <= kMaxShortName && isPlainComponent(s); }

}  // namespace

void setDefaultTifMode(bool on) { g_defaultTif = on; }
void setDefaultPdfMode(bool on) { g_defaultPdf = on; }

std::optional<std::string> newShortName(const std::string& folder, const char* extension) {
  if (folder.size() + sizeof "OPTI*" >= PATH_MAX) return std::nullopt;
  const Result<long> number = freeOptiNumber(platform::withTrailingSlash(folder));
  if (!number) return std::nullopt;
  return formatName(number.value(), extension);
}

Status appendRecord(const std::string& folder, const std::string& longName, const std::string& shortName,
                    char access) {
  if (longName.size() > layout::kLongNameSize || !isPlainComponent(longName) || !validShortName(shortName))
    return Status::BadArgument;
  return editIndex(folder, [&](RecordList& records) {
    const DocFileRecord* last = records.empty() ? nullptr : &records.back();
    records.push_back(DocFileRecord::make(longName, shortName, access, last));
    return Status::Ok;
  });
}

Status removeRecord(const std::string& folder, const std::string& longName, char* access) {
  bool found = false;
  char letter = 0;
  const Status status = editIndex(folder, [&](RecordList& records) {
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
    return found ? Status::Ok : Status::NotFound;
  });
  if (status == Status::Ok && access != nullptr) *access = letter;
  return status;
}

Status updateLongName(const std::string& folder, const std::string& shortName, const std::string& newLongName) {
  return editIndex(folder, [&](RecordList& records) {
    DocFileRecord* target = nullptr;
    for (auto& r : records) {
      if (!r.usable()) continue;
      if (platform::equalsIgnoringCase(r.longName(), newLongName) &&
          !platform::equalsIgnoringCase(r.shortName(), shortName))
        return Status::NothingToDo;  // another file already has that long name
      if (target == nullptr && platform::equalsIgnoringCase(r.shortName(), shortName)) target = &r;
    }
    return target == nullptr ? Status::NotFound : target->setLongName(newLongName);
  });
}

Result<int> createAliasedFile(const std::string& longPath, int permission, const char* extension) {
  std::string folder, longName;
  splitPath(longPath, folder, longName);
  auto shortFolder = translateToShort(folder);
  if (!shortFolder || longName.size() > layout::kLongNameSize || !isPlainComponent(longName))
    return Status::BadArgument;
  const std::string dir = platform::withTrailingSlash(shortFolder->path);
  if (dir.size() + sizeof "OPTI*" >= PATH_MAX) return Status::BadArgument;
  platform::FolderLock lock(dir);
  if (lock.status() != Status::Ok) return Status::Failed;
  const Result<long> number = freeOptiNumber(dir);
  if (!number) return number.status();
  const std::string shortName = formatName(number.value(), extension);
  if (!validShortName(shortName)) return Status::BadArgument;
  const bool readOnly = permission == 256;
  const std::string path = dir + shortName;
  const int fd = platform::openFile(path.c_str(), O_CREAT | O_EXCL | O_RDWR, readOnly ? 0444 : 0644);
  if (fd < 0) return Status::WriteFailed;
  if (const Status appended = appendRecord(dir, longName, shortName, readOnly ? 'R' : 'W'); appended != Status::Ok) {
    platform::closeFile(fd);
    ::unlink(path.c_str());
    return appended;
  }
  return fd;
}

int registerLongName(const std::string& longPath, int permission, const char* extension) {
  return toDocFilesCode(DocFilesCall::Descriptor, createAliasedFile(longPath, permission, extension));
}

}  // namespace hv::docindex
