#pragma once
// Fixed-name files (INDEX.HOL, JMX.HOL, DOCFILES.IDX, the QA markers, OPTI
// names) are found in their folder ignoring case, as the file systems they
// come from compare names; new ones are created spelled as their callers give
// the name (in capitals: "INDEX.HOL", "JMX.HOL", "DOCFILES.IDX").
#include <optional>
#include <string>
#include <string_view>

#include "platform/export.h"

namespace hv::platform {

// ASCII comparison ignoring case.
HV_EXPORT bool equalsIgnoringCase(std::string_view a, std::string_view b);

// Folder path ending with exactly one '/' ("./" for an empty folder).
HV_EXPORT std::string withTrailingSlash(const std::string& folder);

// The name of the entry of folder that equals name ignoring case: the exact
// spelling when it exists, else the first match in byte order (so that the
// choice does not depend on the order the folder lists its entries).
HV_EXPORT std::optional<std::string> findEntryIgnoringCase(const std::string& folder, std::string_view name);

// Folder + the entry's spelling when one matches, else folder + name as given
// (the spelling under which a new file is created).
HV_EXPORT std::string fixedNamePath(const std::string& folder, std::string_view name);

// True when folder holds an entry named name ignoring case.
HV_EXPORT bool fixedNameExists(const std::string& folder, std::string_view name);

}  // namespace hv::platform
