#pragma once
// The records of a print server job, as ASCII text before translation. The
// server parses them at fixed positions, so every field is cut to its width:
// the header is always kHeaderSize bytes and an image record kImageRecordSize.
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

namespace hv::batchprint {

inline constexpr std::size_t kHeaderSize = 82;
inline constexpr std::size_t kImageRecordSize = 80;
inline constexpr std::size_t kTrailerSize = 8;
// Widths of the header's text fields.
inline constexpr std::size_t kHostNameWidth = 8;
inline constexpr std::size_t kListNameWidth = 12;

// "%-8s:%-12s:%-15s:%-15s:%6s:%6s:%6s:%6s:" of host name, data list name,
// local and server address, date "YYMMDD" and time "HHMMSS" (twice each).
std::string headerText(const std::string& hostName, const std::string& listName,
                       std::uint32_t localAddress, std::uint32_t serverAddress, const std::tm& when);

struct ImageRecordFields {
  unsigned copies = 0;
  unsigned plotter = 0;
  std::string size;
  std::string hostName;
  std::string listName;
  int sequence = 1;  // from 1
};

// "%02u:%u:%s:%-8s %s %04d::" padded with blanks to 80 characters. A record
// that would be longer is made to fit: the list name is cut, at most down to
// its header width, then the size text. The host name is cut to 8.
std::string imageRecordText(const ImageRecordFields& fields);

// "%08d" of the number of image job files.
std::string trailerText(int count);

}  // namespace hv::batchprint
