#pragma once
// Private INI files as Windows profile calls know them: "[Section]" headers,
// "key=value" lines, section and key names compared ignoring case, ';' and
// '#' starting comment lines. Used for imviewer.ini, the viewer's own
// settings file and the "BidSet" file.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/export.h"
#include "platform/status.h"

namespace hv::platform {

class HV_EXPORT IniFile {
 public:
  // Loads path; a missing or unreadable file gives an empty document.
  static IniFile load(const std::string& path);
  static IniFile parse(const std::string& text);

  std::optional<std::string> get(const std::string& section, const std::string& key) const;
  // GetPrivateProfileInt semantics: leading decimal digits (with sign) of the
  // value, the fallback when the key is absent or holds no number.
  long getInt(const std::string& section, const std::string& key, long fallback) const;
  void set(const std::string& section, const std::string& key, const std::string& value);
  std::string text() const;
  // Writes the document through an AtomicFile (atomic_file.h); WriteFailed,
  // with errno set, when it could not be written.
  Status save(const std::string& path) const;

 private:
  struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;
  };
  std::vector<Section> sections_;
};

}  // namespace hv::platform
