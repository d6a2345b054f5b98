#include "docindex/docfiles_cache.h"

#include <cerrno>
#include <sys/stat.h>

#include "platform/file_io.h"
#include "platform/file_lock.h"
#include "platform/path_parts.h"
#include "platform/safe_rewrite.h"

namespace hv::docindex {
namespace {

// Identity of an index file at the time it was read.
struct Stamp {
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  timespec mtime{};
  timespec ctime{};
  bool operator==(const Stamp& o) const {
    return dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec &&
           mtime.tv_nsec == o.mtime.tv_nsec && ctime.tv_sec == o.ctime.tv_sec &&
           ctime.tv_nsec == o.ctime.tv_nsec;
  }
};

struct Slot {
  bool inUse = false;
  bool dirty = false;
  std::string path;
  std::shared_ptr<const RecordList> records;
  Stamp stamp;
  unsigned long lastUse = 0;
};

Slot g_slots[2];
unsigned long g_useClock = 0;

// The identity of the regular file at path; NotFound when there is none.
Result<Stamp> stampOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return Status::NotFound;
  return Stamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

// The index is kept read-only between updates.
unsigned readOnlyMode(const std::string& path) {
  struct stat st {};
  unsigned mode = 0644;
  if (::stat(path.c_str(), &st) == 0) mode = st.st_mode & 07777;
  return (mode & ~0222u) | S_IRUSR;
}

Status writeSlot(Slot& slot) {
  platform::FolderLock lock(platform::folderOf(slot.path));
  if (lock.status() != Status::Ok) return Status::Failed;
  bool ok;
  if (slot.records->empty()) {
    struct stat st {};
    ok = ::lstat(slot.path.c_str(), &st) != 0 ? errno == ENOENT : platform::removeFileDurably(slot.path) == Status::Ok;
  } else {
    ok = platform::rewriteFileSafely(slot.path, serialiseRecords(*slot.records), readOnlyMode(slot.path)) == Status::Ok;
  }
  if (!ok) return Status::WriteFailed;
  slot.dirty = false;
  slot.stamp = stampOf(slot.path).valueOr(Stamp{});
  return Status::Ok;
}

// The slot to hold path: its own, else a free one, else the least recently
// used (written back first when dirty).
Slot* slotFor(const std::string& path) {
  for (Slot& s : g_slots)
    if (s.inUse && s.path == path) return &s;
  Slot* pick = nullptr;
  for (Slot& s : g_slots)
    if (!s.inUse) pick = &s;
  if (pick == nullptr) {
    pick = g_slots[0].lastUse <= g_slots[1].lastUse ? &g_slots[0] : &g_slots[1];
    if (pick->dirty) (void)writeSlot(*pick);
  }
  *pick = Slot{};
  return pick;
}

}  // namespace

Status readIndexFresh(const std::string& path, RecordList& out, bool& exists) {
  out.clear();
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    exists = false;
    return errno == ENOENT ? Status::Ok : Status::ReadFailed;
  }
  exists = true;
  if (!S_ISREG(st.st_mode)) return Status::ReadFailed;
  std::string bytes;
  if (platform::readWholeFile(path, bytes, kMaxIndexBytes) != Status::Ok) return Status::ReadFailed;
  out = parseRecords(bytes);
  return Status::Ok;
}

std::shared_ptr<const RecordList> cachedIndex(const std::string& path) {
  const Result<Stamp> stamp = stampOf(path);
  if (!stamp) return nullptr;
  const Stamp& now = stamp.value();
  for (Slot& s : g_slots) {
    if (s.inUse && s.path == path && !s.dirty && s.stamp == now) {
      s.lastUse = ++g_useClock;
      return s.records;
    }
  }
  RecordList records;
  bool exists = false;
  if (readIndexFresh(path, records, exists) != Status::Ok || !exists) return nullptr;
  Slot* slot = slotFor(path);
  slot->inUse = true;
  slot->path = path;
  slot->records = std::make_shared<const RecordList>(std::move(records));
  slot->stamp = now;
  slot->lastUse = ++g_useClock;
  return slot->records;
}

Status storeIndex(const std::string& path, RecordList records) {
  Slot* slot = slotFor(path);
  slot->inUse = true;
  slot->dirty = true;
  slot->path = path;
  slot->records = std::make_shared<const RecordList>(std::move(records));
  slot->lastUse = ++g_useClock;
  const Status written = writeSlot(*slot);
  if (written != Status::Ok) *slot = Slot{};
  return written;
}

Status flushIndexCache() {
  Status first = Status::Ok;
  for (Slot& s : g_slots) {
    if (s.inUse && s.dirty) {
      const Status written = writeSlot(s);
      if (first == Status::Ok) first = written;
    }
    s = Slot{};
  }
  return first;
}

}  // namespace hv::docindex
