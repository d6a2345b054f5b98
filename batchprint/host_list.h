#pragma once
// The host list: the print servers a user can choose, one per line as
// "address name number" separated by blanks. Found at the path in the
// environment variable "mkhostfile", else at /etc/_mkhost.txt.
#include <cstddef>
#include <string>
#include <vector>

#include "platform/export.h"

namespace hv::batchprint {

struct HostEntry {
  std::string address;
  std::string name;
  std::string number;
};

class HV_EXPORT HostList {
 public:
  // $mkhostfile when set and not empty, else "/etc/_mkhost.txt".
  static std::string defaultPath();

  // Reads the list: lines whose first field begins with "#" and lines with
  // fewer than three fields are skipped; a line is read up to 128 characters
  // (the rest of a longer line is ignored); a later entry of a host name
  // replaces the earlier one and takes its place at the end. A missing or
  // unreadable file gives an empty list and false.
  bool load(const std::string& path);
  bool loadDefault() { return load(defaultPath()); }
  void parse(const std::string& text);

  // Index of the entry of that host name (ignoring case), -1 when absent.
  int find(const std::string& name) const;
  const std::vector<HostEntry>& entries() const { return entries_; }

 private:
  void add(HostEntry entry);
  std::vector<HostEntry> entries_;
};

// Longest line of the host list taken into account.
inline constexpr std::size_t kHostLineLength = 128;
// Largest host list read (bytes); the rest of a larger file is ignored.
inline constexpr std::size_t kHostListMaxBytes = 1u << 20;

}  // namespace hv::batchprint
