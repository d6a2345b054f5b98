#pragma once
// Changing a folder's DOCFILES.IDX: new OPTI short names, registration of a
// long name with a new file, and appending, removing and renaming records.
// Every change takes the folder's write lock, reads the index afresh and
// replaces it through the safe rewrite; the index stays read-only between
// changes.
#include <optional>
#include <string>

#include "platform/export.h"
#include "platform/status.h"

namespace hv::docindex {

// Default extension of new short names when none is given: ".TIF" in the
// default-TIF mode, else ".PDF" in the default-PDF mode, else ".ALS".
HV_EXPORT void setDefaultTifMode(bool on);
HV_EXPORT void setDefaultPdfMode(bool on);

// The lowest free "OPTInnnn" name of folder with the extension (given with or
// without its dot; null for the default); nullopt when a matching name
// carries more than four digits or the folder cannot be listed.
HV_EXPORT std::optional<std::string> newShortName(const std::string& folder, const char* extension);

// Appends a record; the index is created when missing. BadArgument for names
// that are not single components or a short name longer than 12 characters;
// otherwise Ok or why the index could not be read or written (Failed when
// the folder's lock cannot be taken).
HV_EXPORT Status appendRecord(const std::string& folder, const std::string& longName,
                            const std::string& shortName, char access);

// Removes every record whose long name equals longName ignoring case and
// reports the access letter of the (last) removed one; an index left empty
// is removed. NotFound when no record matched (nothing is written), else Ok
// or why the index could not be read or written.
HV_EXPORT Status removeRecord(const std::string& folder, const std::string& longName, char* access);

// Gives the record with that short name (ignoring case) a new long name.
// NotFound when no usable record has that short name, NothingToDo when
// another record already has the long name, BadArgument when it is not a
// name that fits a record.
HV_EXPORT Status updateLongName(const std::string& folder, const std::string& shortName,
                              const std::string& newLongName);

// Registers a new long name: makes a short name with the extension, creates
// the file under it (exclusively; permission 256 makes it read-only and the
// record's access letter 'R', anything else 'W') and appends the record.
// Returns the open descriptor (read and write), or -1 with errno ENOENT.
HV_EXPORT int registerLongName(const std::string& longPath, int permission, const char* extension);

// The work of registerLongName: the open descriptor, or BadArgument (a long
// name or folder that cannot be used), Unsupported or ReadFailed (no new
// short name, see newShortName), Failed (the folder's lock), WriteFailed
// (the file could not be created) or why the record could not be appended
// (the new file is removed again).
Result<int> createAliasedFile(const std::string& longPath, int permission, const char* extension);

}  // namespace hv::docindex
