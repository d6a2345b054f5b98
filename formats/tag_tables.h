#pragma once
// The tag tables that drive the BER walker of CALS Type 2 files: the
// "UNIVERSAL" table (univtags.txt), the "APPLICATION" table (apptags.txt) and
// the context tables (contags.txt), text files shipped with the programs.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/status.h"

namespace hv::formats {

inline constexpr int kContextMax = 100;
inline constexpr std::size_t kTagNameChars = 25;

struct TagEntry {
  std::string name;
  int kind = 0;          // 0: described here; 1: stands for application entry `value`
  long value = 0;        // application table index (kind 1) or a value
  int cls = 0;           // BER class 0..3
  std::uint32_t number = 0;
  int context = 0;       // nested context number, 0 for none
  int action = 0;
};

struct TagTable {
  std::string name;
  int number = 0;
  std::vector<TagEntry> entries;
};

struct TagTables {
  TagTable universal;
  TagTable application;
  std::vector<TagTable> contexts;
  // The context table of that number, or null.
  const TagTable* context(int number) const;
  // The application entry an entry of kind 1 stands for (else the entry).
  const TagEntry& resolve(const TagEntry& e) const;
};

// The context the walker starts a stream with.
inline constexpr int kTopContext = 1;

// Parses the three files' texts. TooSmall, with the CONTEXT_MAX message,
// when contags holds kContextMax or more context tables.
Status parseTagTables(const std::string& univ, const std::string& app, const std::string& con, TagTables& out);

// Loads the tables once per process (the current directory first, then the
// shipped copies). Ok once loaded; a failure (ReadFailed for a missing or
// unreadable file, TooSmall for too many contexts) is retried at the next
// call. Messages: "Unable to open %s" for a missing file, CONTEXT_MAX.
Status loadTagTables();
// The loaded tables, or null before a successful load.
const TagTables* tagTables();
// Tests and fuzzing: read the tables from this directory (ending in '/'),
// empty for the normal search; forgets tables already loaded.
void setTagTableDirectory(const std::string& dir);

}  // namespace hv::formats
