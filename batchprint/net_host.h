#pragma once
// The local host's name and IPv4 address as the print server's records carry
// them, and the dotted form of addresses.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/export.h"

namespace hv::batchprint {

// The system's host name, at most size-1 characters, terminated. Returns its
// length, 0 on failure, after showing "gethostname() fails %d." (errno).
HV_EXPORT int NetApi_GetHostName(char* buffer, std::size_t size);

// The local IPv4 address in host byte order, 0 when there is none. The host
// name is resolved (getaddrinfo) and its first address that is not a loopback
// address is taken; when it resolves to loopback addresses only (Debian names
// the host 127.0.1.1), the first non-loopback address of an interface that
// is up is taken instead, else the first address resolved.
HV_EXPORT std::uint32_t GetLocalAddress();

// "%u.%u.%u.%u" from the most significant byte down into buffer (at least 16
// bytes); returns buffer.
HV_EXPORT char* FormatAddress(std::uint32_t address, char* buffer);
HV_EXPORT std::string FormatAddress(std::uint32_t address);

// An address as the options keep it: up to four decimal parts separated by
// "." (missing parts are 0). nullopt for text that is not such an address or
// a part above 255.
HV_EXPORT std::optional<std::uint32_t> ParseAddress(const std::string& text);

// The host name a job carries: cut at its first "." and to 8 characters.
HV_EXPORT std::string jobHostName(const std::string& systemName);

}  // namespace hv::batchprint
