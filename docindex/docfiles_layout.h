#pragma once
// Byte layout of a DOCFILES.IDX record: 80 bytes, no header, no terminator.
#include <cstddef>

namespace hv::docindex::layout {

inline constexpr std::size_t kRecordSize = 80;
inline constexpr std::size_t kLongName = 0;  // NUL-padded; 64 characters have no NUL
inline constexpr std::size_t kLongNameSize = 64;
inline constexpr std::size_t kShortName = 64;  // 8.3 name, NUL-terminated and NUL-padded
inline constexpr std::size_t kShortNameSize = 13;
inline constexpr std::size_t kAccess = 77;        // 'R' or 'W' ('D' for folders)
inline constexpr std::size_t kPrevAccess = 78;    // kAccess of the record that was last when appended
inline constexpr std::size_t kPrevPrevious = 79;  // kPrevAccess of that record

static_assert(kShortName == kLongName + kLongNameSize);
static_assert(kAccess == kShortName + kShortNameSize);
static_assert(kPrevPrevious + 1 == kRecordSize);

// The file name of the index in each folder.
inline constexpr char kIndexName[] = "DOCFILES.IDX";

}  // namespace hv::docindex::layout
