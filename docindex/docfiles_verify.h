#pragma once
// The "BidSet" checksum of a folder's DOCFILES.IDX, and its verification
// against the value stored for the folder in an INI file.
#include <string>

namespace hv::docindex {

// Sum of the 64 long-name bytes of every record, taken as signed bytes,
// exclusive-or 0xA5A5; a result of 0 is given as 1. 0 when the index is
// missing or unreadable; 0xA5A5 for an empty index.
int indexChecksum(const std::string& folder);

// Reads section "BidSet", key dirName of iniPath, and compares it, as 16-bit
// values, with the checksum of the index of parentDir + dirName (translated).
// False when the stored value is missing or 0, or the values differ.
bool verifyIndex(const std::string& iniPath, const std::string& parentDir, const std::string& dirName);

}  // namespace hv::docindex
