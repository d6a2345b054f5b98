// Mirroring image memory left to right, on transition lists.
#include "engine/grx_codes.h"
#include "engine/image_memory.h"
#include "engine/transform.h"

using namespace hv::engine;
using hv::Status;

namespace {

// Writes the mirror image of `list` into `out` (room for width + 2 entries);
// returns its entry count, terminator included. A black run [a, b) becomes
// [width - b, width - a): the transitions come out in reverse order, after an
// entry 0 when the line ended black, and an entry equal to the width (from a
// line starting black) falls on the terminator.
std::size_t mirrorList(const Transition* list, std::uint32_t width, Transition* out) {
  std::size_t k = listLength(list, width) - 1;
  std::size_t n = 0;
  if (k % 2 == 1) out[n++] = 0;
  for (std::size_t i = k; i > 0; --i) {
    std::uint32_t c = width - list[i - 1];
    if (c == width) break;  // only t0 = 0 can give this, and it is the last
    out[n++] = static_cast<Transition>(c);
  }
  out[n++] = static_cast<Transition>(width);
  return n;
}

Status mirrorImage(ImageHdl h) {
  if (h == nullptr) return Status::BadArgument;
  ImageMemory* mem = h->memory;
  if (mem == nullptr) return Status::NoImageMemory;
  const std::uint32_t width = mem->width;
  for (std::uint32_t y = 0; y < mem->height; ++y) {
    const Transition* line = mem->lines[y];
    if (line == nullptr) continue;
    // Blank and all-black lines read the same both ways.
    if (line[0] >= width || (line[0] == 0 && line[1] >= width)) continue;
    std::size_t n = mirrorList(line, width, mem->scratch);
    if (putLineCopy(mem, y, mem->scratch, n) != Status::Ok) return Status::NoMemory;
  }
  return Status::Ok;
}

}  // namespace

extern "C" int grxMirrorImage(ImageHdl h) { return toGrxCode(mirrorImage(h)); }
