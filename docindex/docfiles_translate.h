#pragma once
// Translation of paths between the long names users see and the short names
// under which files are stored, through each folder's DOCFILES.IDX.
//
// Separators: '/' always separates. While the slash mode is on, '\' is a
// separator as well (paths that came from Windows records and lists);
// otherwise '\' is an ordinary character of a Linux file name. Results are
// written with '/'.
//
// A record is used only when both of its names are single path components
// (no separator, not "." or ".."), so a translation replaces one component
// by another component of the same folder and never leaves it.
#include <optional>
#include <string>

#include "platform/export.h"

namespace hv::docindex {

HV_EXPORT void slashModeOn();
HV_EXPORT void slashModeOff();
HV_EXPORT bool slashMode();
HV_EXPORT bool isPathSeparator(char c);

// folder + separator (unless folder ends with one) + the index's name (found
// ignoring case, else "DOCFILES.IDX"). nullopt when the result would not fit
// a path.
HV_EXPORT std::optional<std::string> indexPath(const std::string& folder);

struct Translation {
  std::string path;
  char access = 0;  // access letter of the last record used, 0 when none
};

// Each component that does not exist as written and has a record in its
// folder's index (long name equal ignoring case) is replaced by the record's
// short name. nullopt for an empty path.
HV_EXPORT std::optional<Translation> translateToShort(const std::string& longPath);

// Each component that is a record's short name in its folder's index
// (ignoring case) is replaced by the record's long name.
HV_EXPORT std::optional<Translation> translateToLong(const std::string& shortPath);

// False when the path exists as written; otherwise true when translating it
// changes its last component, or when that component is 64 characters long.
HV_EXPORT bool isLongName(const std::string& path);

// Splits a path at its last separator into folder (with the separator, "./"
// when there is none) and name.
HV_EXPORT void splitPath(const std::string& path, std::string& folder, std::string& name);

}  // namespace hv::docindex
