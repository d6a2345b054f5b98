#pragma once
// Opening files of unknown origin for reading without ever blocking: a FIFO
// or device named where a file is expected is refused, never read.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/export.h"
#include "platform/status.h"

namespace hv::batchprint {

// Opens path read-only when it is a regular file (symbolic links followed).
// Returns the descriptor, or -1 with errno set (EISDIR for a folder, EINVAL
// for a FIFO, device or socket). The open itself never waits for a writer.
HV_EXPORT int openRegularFile(const std::string& path, std::int64_t* size = nullptr);

// Reads at most maxBytes of a regular file into out. ReadFailed (errno set)
// when the file is not a regular file or cannot be read.
HV_EXPORT Status readRegularFile(const std::string& path, std::string& out, std::size_t maxBytes);

}  // namespace hv::batchprint
