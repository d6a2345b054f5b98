#pragma once
// The files of a print server job: the header, one image job file per image
// and the trailer, all named after one base ("HHMMSSNN.") in one folder.
//
// Job files are created exclusively: an existing file is never replaced, so
// two jobs cannot overwrite each other. A file that cannot be written
// completely is removed again.
#include <cstdint>
#include <ctime>
#include <string>

#include "platform/export.h"

namespace hv::batchprint {

// Writes the 82-byte header (local address from GetLocalAddress, date and
// time now). True when the file was written.
HV_EXPORT bool WriteJobHeader(const std::string& path, const std::string& hostName,
                              std::uint32_t serverAddress, const std::string& dataListName);

// Writes the 80-byte image record of sequence index (from 1) followed by the
// bytes of the image, whose path is first translated to its stored short
// name. True when the file was created and written. The image must be a
// regular file (a FIFO or folder gives false without being read).
HV_EXPORT bool WriteJobImage(int index, const std::string& hostName, const std::string& imagePath,
                             const std::string& jobFilePath, unsigned copies, unsigned plotter,
                             const std::string& size, const std::string& listName);

// Writes the 8-byte trailer holding count. True when written.
HV_EXPORT bool WriteJobTrailer(const std::string& path, int count);

// The same with the local address and time given (what the header carries).
HV_EXPORT bool writeJobHeaderAt(const std::string& path, const std::string& hostName,
                                std::uint32_t localAddress, std::uint32_t serverAddress,
                                const std::string& dataListName, const std::tm& when);

// Chooses the base name of a new job in folder (ending with '/') for the
// local time when: folder + "HHMMSS00." when no file of the folder starts
// with it, else the first free counter "01" to "99" in
// place of "00". Empty when all hundred are taken.
HV_EXPORT std::string jobBaseName(const std::string& folder, const std::tm& when);

// Job file names of a base: base + "HDR", base + "%03d", base + "TLR".
HV_EXPORT std::string headerFileName(const std::string& base);
HV_EXPORT std::string imageFileName(const std::string& base, int sequence);
HV_EXPORT std::string trailerFileName(const std::string& base);

}  // namespace hv::batchprint
