#pragma once
// The element tree a CALS Type 2 writer lays out, read from a template file
// ("d1.cal", shipped beside the tag tables), and the writing of the ODA
// stream with the image's values and tiles filled in.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/status.h"

namespace hv::formats {

enum class Cals2NodeKind { kSequence, kInteger, kOctets, kText, kPair, kTileTypes, kTileList, kTileData };

struct Cals2Node {
  int cls = 2;
  std::uint32_t number = 0;
  Cals2NodeKind kind = Cals2NodeKind::kSequence;
  std::vector<std::string> args;  // values or $ variables
  std::vector<Cals2Node> children;
};

struct Cals2TileRef {
  std::uint8_t type = 2;
  std::uint64_t at = 0, bytes = 0;  // in the tile file
};

struct Cals2Layout {
  std::uint32_t width = 0, height = 0, resolution = 200, tileSide = 512;
  int pelPathAngle = 0, lineProgressionAngle = 270;
  std::vector<Cals2TileRef> tiles;
};

// Reads the template and reports what is wrong with it: ReadFailed when the
// file cannot be read (the missing-template message), CodingError for a
// malformed line ("Tag %s missing") or a template without a tile types or
// tile data element (their own messages).
Status loadCals2Template(const std::string& path, std::vector<Cals2Node>& out);
// Parses template text without reporting. CodingError for the faults above;
// `message` receives the number of the message that names the fault and
// `bad` a malformed line.
Status parseCals2Template(const std::string& text, std::vector<Cals2Node>& out, int* message = nullptr,
                          std::string* bad = nullptr);

// Writes the stream at `at` of outFd, the tiles copied from tileFd.
// BadArgument (reported) when the template names something the layout
// cannot give; ReadFailed or WriteFailed when copying fails.
Status writeCals2Stream(const std::vector<Cals2Node>& tree, const Cals2Layout& layout, int tileFd, int outFd,
                      std::int64_t at);

// Writes all bytes at an absolute position; WriteFailed (errno set) when
// the system refuses.
Status writeBytesAt(int fd, const void* data, std::size_t n, std::int64_t at);

}  // namespace hv::formats
