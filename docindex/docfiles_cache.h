#pragma once
// The index cache: two slots, each holding one DOCFILES.IDX in memory, so
// that translating many paths of one folder reads its index once. A slot is
// keyed by the exact index path and remembers the file's identity (device,
// inode, size, modification and change times); a lookup whose file no longer
// matches reloads it, which is how the cache learns of changes made by other
// programs.
//
// Our own writers go through the cache: they store the edited records in a
// slot, marking it dirty, and flush it at once; flushIndexCache() writes any
// slot still dirty and frees both slots (the viewer calls it on exit).
#include <memory>
#include <string>
#include <vector>

#include "docindex/docfiles_record.h"
#include "platform/export.h"
#include "platform/status.h"

namespace hv::docindex {

using RecordList = std::vector<DocFileRecord>;

// Records of the index at path, from the cache when it is current; null when
// the index is missing or cannot be read.
HV_EXPORT std::shared_ptr<const RecordList> cachedIndex(const std::string& path);

// Reads the index at path from disk (for writers, under the folder lock).
// Ok with exists = true and the records, or, for a missing index, Ok with an
// empty list and exists = false. ReadFailed when the path cannot be looked
// at, is not a regular file or cannot be read (exists tells which).
HV_EXPORT Status readIndexFresh(const std::string& path, RecordList& out, bool& exists);

// Puts records into the slot of path as its new, dirty contents and writes
// them back through the safe rewrite; an empty list removes the index. On
// failure the slot is dropped so that no unwritten change stays visible.
// Failed when the folder's lock cannot be taken, WriteFailed when the index
// cannot be written or removed.
HV_EXPORT Status storeIndex(const std::string& path, RecordList records);

// Writes every dirty slot back and frees both slots; the first failure of a
// write when one failed.
HV_EXPORT Status flushIndexCache();

// Largest index read (one million records).
inline constexpr std::size_t kMaxIndexBytes = 80u << 20;

}  // namespace hv::docindex
