#pragma once
// The "BidSet" checksum of a folder's DOCFILES.IDX, and its verification
// against the value stored for the folder in an INI file.
#include <string>

#include "platform/status.h"

namespace hv::docindex {

// Sum of the 64 long-name bytes of every record, taken as signed bytes,
// exclusive-or 0xA5A5; a sum of 0 is given as 1, since a stored 0 means "no
// value". 0xA5A5 for an empty index; NotFound when the index is missing,
// ReadFailed when it cannot be read, BadArgument when the folder's path is
// too long.
Result<int> indexChecksum(const std::string& folder);

// Reads section "BidSet", key dirName of iniPath, and compares it, as 16-bit
// values, with the checksum of the index of parentDir + dirName (translated).
// False when the stored value is missing or 0, or the values differ.
bool verifyIndex(const std::string& iniPath, const std::string& parentDir, const std::string& dirName);

}  // namespace hv::docindex
