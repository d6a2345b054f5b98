#pragma once
// Shared machinery of the fixed-record index files INDEX.HOL and JMX.HOL:
// locating the file in its folder, reading it whole, and the locked,
// crash-safe read-modify-write that every change goes through.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "platform/status.h"

namespace hv::records {

// Largest index file that is read; anything bigger is treated as unreadable
// rather than loaded (a 64 MiB INDEX.HOL holds 670,000 records).
inline constexpr std::size_t kMaxIndexFileBytes = 64u << 20;

// The folder of a directory argument with a trailing '/', or nullopt for a
// missing or empty argument.
std::optional<std::string> folderArgument(const char* directory);

// Path of the index file name in folder: the existing entry found ignoring
// case, else folder + name.
std::string indexFilePath(const std::string& folder, const char* name);

// The whole file, or nullopt when it cannot be opened or read.
std::optional<std::string> readIndexFile(const std::string& path);

// Bytes of whole records followed by CR LF: the form every writer leaves.
std::string withLineEnd(std::string records);

// What a change decided to do with the index file.
enum class IndexEdit {
  Write,   // replace the file by the edited contents
  Remove,  // remove the file (its last record went)
  Keep,    // leave the file as it is (the change is not possible)
};

// Runs a read-modify-write of the index file name in folder while holding the
// folder's write lock. edit receives the current contents (nullopt when the
// file does not exist) and edits them in place. The new file is owner
// readable and writable (the index is made writable before any write).
// Ok when the file was rewritten, IndexRemoved when it was removed,
// NothingToDo when edit chose Keep; Failed when the lock could not be taken
// or the path is not a regular file, ReadFailed / WriteFailed when reading,
// rewriting or removing failed.
Status editIndexFile(const std::string& folder, const char* name,
                   const std::function<IndexEdit(std::optional<std::string>& contents)>& edit);

// Sequence-number key comparison of four characters ignoring case.
bool sameKey(const char* a, const char* b);

}  // namespace hv::records
