#pragma once
// One DOCFILES.IDX record, kept as its 80 bytes so that records pass through
// a rewrite unchanged, with checked accessors for the names it carries.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "docindex/docfiles_layout.h"
#include "platform/export.h"
#include "platform/status.h"

namespace hv::docindex {

class HV_EXPORT DocFileRecord {
 public:
  DocFileRecord() { bytes_.fill('\0'); }
  static DocFileRecord fromBytes(const char* p);
  // A record with both names and the access letter; the two trailing bytes
  // come from the record that was last before it (previous may be null).
  static DocFileRecord make(std::string_view longName, std::string_view shortName, char access,
                            const DocFileRecord* previous);

  // The long name up to its first NUL (at most 64 characters).
  std::string longName() const;
  // The short name up to its NUL; empty when the field has no terminator.
  std::string shortName() const;
  char access() const { return bytes_[layout::kAccess]; }

  // A record is used for translation only when both names are single,
  // ordinary path components: not empty, no '/' or '\', not "." or "..".
  bool usable() const;

  // Replaces the long name; BadArgument, leaving it unchanged, when the name
  // does not fit or is not a single path component.
  Status setLongName(std::string_view name);

  const std::array<char, layout::kRecordSize>& bytes() const { return bytes_; }

 private:
  std::array<char, layout::kRecordSize> bytes_;
};

// True for a name that may stand in a record: one path component.
HV_EXPORT bool isPlainComponent(std::string_view name);

// The whole records of an index file's bytes (a partial last record is
// dropped), and the bytes of a record list.
HV_EXPORT std::vector<DocFileRecord> parseRecords(std::string_view bytes);
HV_EXPORT std::string serialiseRecords(const std::vector<DocFileRecord>& records);

}  // namespace hv::docindex
