#pragma once
// Image memory: a bilevel drawing held as one transition list per line.
//
// A transition list is an array of ascending 16-bit columns. Every line
// begins white at column 0; each entry is a column where the colour changes;
// the list ends with an entry equal to the width (the terminator). A blank
// line is [width]; a line whose first pixel is black starts with 0.
#include <cstddef>
#include <cstdint>

#include "platform/export.h"
#include "platform/status.h"

namespace hv::engine {

using Transition = std::uint16_t;

struct ImageMemory {
  std::uint32_t kind = 1;  // always 1: bilevel
  std::uint32_t width = 0;
  std::uint32_t bytesPerLine = 0;  // width rounded up to 16 pixels, in bytes
  std::uint32_t height = 0;
  Transition* scratch = nullptr;  // width + 2 entries
  Transition** lines = nullptr;   // height lists, owned
};

inline std::uint32_t bytesPerLineFor(std::uint32_t width) { return ((width + 15) / 16) * 2; }

// Creates an image memory of blank lines; null when width or height is 0,
// width exceeds 65535, kind is not 1, or memory runs out.
HV_EXPORT ImageMemory* createImageMemory(std::uint32_t kind, std::uint32_t width, std::uint32_t height);
HV_EXPORT void freeImageMemory(ImageMemory* mem);
// The same without the blank lists: every line is null until stored, and
// completeImageMemory gives the lines still null a blank list. For loaders
// that store every line anyway.
HV_EXPORT ImageMemory* createUnfilledImageMemory(std::uint32_t width, std::uint32_t height);
// NoMemory when a blank list cannot be made (the lines made so far stay).
HV_EXPORT Status completeImageMemory(ImageMemory* mem);

// The list of line i, or null when i >= height.
HV_EXPORT const Transition* getLine(const ImageMemory* mem, std::uint32_t i);
// Replaces line i with `list` (an engine block the memory then owns);
// BadArgument when i >= height or list is null (the list is then not taken).
HV_EXPORT Status putLine(ImageMemory* mem, std::uint32_t i, Transition* list);
// Copies `count` entries (terminator included) into a new list for line i;
// BadArgument for a line outside the image or no entries, NoMemory.
HV_EXPORT Status putLineCopy(ImageMemory* mem, std::uint32_t i, const Transition* entries, std::size_t count);
// Rewrites every terminator for a new width; BadArgument (nothing changed)
// for a width of 0 or above 65535 or a line whose entries do not ascend
// below the new width, NoMemory.
HV_EXPORT Status setImageWidth(ImageMemory* mem, std::uint32_t width);
// Drops lines or adds blank ones; BadArgument for 0, NoMemory (the image
// then holds the lines that could be made).
HV_EXPORT Status setImageHeight(ImageMemory* mem, std::uint32_t height);

// Number of entries of a list, terminator included.
HV_EXPORT std::size_t listLength(const Transition* list, std::uint32_t width);
// A new blank list [width].
HV_EXPORT Transition* blankList(std::uint32_t width);

// Bytes the image memory holds through the engine allocator.
HV_EXPORT std::size_t imageMemoryBytes(const ImageMemory* mem);

}  // namespace hv::engine
