#include "engine/image_memory.h"

#include <cstring>

#include "engine/engine_alloc.h"

namespace hv::engine {

Transition* blankList(std::uint32_t width) {
  auto* list = engineAllocArray<Transition>(1);
  if (list) list[0] = static_cast<Transition>(width);
  return list;
}

std::size_t listLength(const Transition* list, std::uint32_t width) {
  std::size_t n = 0;
  while (list[n] < width) ++n;
  return n + 1;
}

ImageMemory* createUnfilledImageMemory(std::uint32_t width, std::uint32_t height) {
  if (width == 0 || height == 0 || width > 65535) return nullptr;
  auto* mem = static_cast<ImageMemory*>(engineAlloc(sizeof(ImageMemory)));
  if (mem == nullptr) return nullptr;
  *mem = ImageMemory{};
  mem->width = width;
  mem->bytesPerLine = bytesPerLineFor(width);
  mem->scratch = engineAllocArray<Transition>(width + 2);
  mem->lines = engineAllocArray<Transition*>(height);
  mem->height = height;
  if (mem->scratch == nullptr || mem->lines == nullptr) {
    freeImageMemory(mem);
    return nullptr;
  }
  return mem;
}

Status completeImageMemory(ImageMemory* mem) {
  for (std::uint32_t i = 0; i < mem->height; ++i)
    if (mem->lines[i] == nullptr && (mem->lines[i] = blankList(mem->width)) == nullptr) return Status::NoMemory;
  return Status::Ok;
}

ImageMemory* createImageMemory(std::uint32_t kind, std::uint32_t width, std::uint32_t height) {
  if (kind != 1) return nullptr;
  ImageMemory* mem = createUnfilledImageMemory(width, height);
  if (mem != nullptr && completeImageMemory(mem) != Status::Ok) {
    freeImageMemory(mem);
    return nullptr;
  }
  return mem;
}

void freeImageMemory(ImageMemory* mem) {
  if (mem == nullptr) return;
  if (mem->lines)
    for (std::uint32_t i = 0; i < mem->height; ++i) engineFree(mem->lines[i]);  // null is ignored
  engineFree(mem->lines);
  engineFree(mem->scratch);
  engineFree(mem);
}

const Transition* getLine(const ImageMemory* mem, std::uint32_t i) {
  if (mem == nullptr || i >= mem->height) return nullptr;
  return mem->lines[i];
}

Status putLine(ImageMemory* mem, std::uint32_t i, Transition* list) {
  if (mem == nullptr || list == nullptr || i >= mem->height) return Status::BadArgument;
  engineFree(mem->lines[i]);
  mem->lines[i] = list;
  return Status::Ok;
}

Status putLineCopy(ImageMemory* mem, std::uint32_t i, const Transition* entries, std::size_t count) {
  if (mem == nullptr || i >= mem->height || count == 0) return Status::BadArgument;
  auto* list = static_cast<Transition*>(engineAllocCopy(entries, count * sizeof(Transition)));
  if (list == nullptr) return Status::NoMemory;
  return putLine(mem, i, list);
}

Status setImageWidth(ImageMemory* mem, std::uint32_t width) {
  if (mem == nullptr || width == 0 || width > 65535) return Status::BadArgument;
  const std::uint32_t old = mem->width;
  // Check every line first so that a failure changes nothing: entries must
  // ascend, and narrowing may only drop a transition that falls exactly on the
  // new width (where the terminator then stands).
  for (std::uint32_t i = 0; i < mem->height; ++i) {
    const Transition* list = mem->lines[i];
    for (std::size_t k = 0; list[k] < old; ++k) {
      if (k > 0 && list[k] <= list[k - 1]) return Status::BadArgument;
      if (width < old && list[k] > width) return Status::BadArgument;
    }
  }
  auto* scratch = engineAllocArray<Transition>(width + 2);
  if (scratch == nullptr) return Status::NoMemory;
  // A line that ends black at the old width gets a run end there, so that
  // the added columns are white. Room for it is made in every such line
  // before any line changes: running out of memory leaves the image as it was.
  if (width > old) {
    for (std::uint32_t i = 0; i < mem->height; ++i) {
      const std::size_t n = listLength(mem->lines[i], old) - 1;  // before the terminator
      if (n % 2 == 0) continue;
      auto* grown = static_cast<Transition*>(engineRealloc(mem->lines[i], (n + 2) * sizeof(Transition)));
      if (grown == nullptr) {
        engineFree(scratch);
        return Status::NoMemory;
      }
      mem->lines[i] = grown;
    }
  }
  for (std::uint32_t i = 0; i < mem->height; ++i) {
    Transition* list = mem->lines[i];
    std::size_t n = 0;
    while (list[n] < old) ++n;  // entries before the terminator
    if (width > old && n % 2 == 1) {
      list[n] = static_cast<Transition>(old);
      list[n + 1] = static_cast<Transition>(width);
      continue;
    }
    if (width < old && n > 0 && list[n - 1] == width) --n;
    list[n] = static_cast<Transition>(width);
  }
  engineFree(mem->scratch);
  mem->scratch = scratch;
  mem->width = width;
  mem->bytesPerLine = bytesPerLineFor(width);
  return Status::Ok;
}

Status setImageHeight(ImageMemory* mem, std::uint32_t height) {
  if (mem == nullptr || height == 0) return Status::BadArgument;
  if (height < mem->height) {
    for (std::uint32_t i = height; i < mem->height; ++i) engineFree(mem->lines[i]);
    mem->height = height;
    return Status::Ok;
  }
  auto* lines = static_cast<Transition**>(engineRealloc(mem->lines, height * sizeof(Transition*)));
  if (lines == nullptr) return Status::NoMemory;
  mem->lines = lines;
  for (std::uint32_t i = mem->height; i < height; ++i) {
    lines[i] = blankList(mem->width);
    if (lines[i] == nullptr) {
      mem->height = i;
      return Status::NoMemory;
    }
  }
  mem->height = height;
  return Status::Ok;
}

std::size_t imageMemoryBytes(const ImageMemory* mem) {
  if (mem == nullptr) return 0;
  std::size_t total = roundedSize(sizeof(ImageMemory)) + roundedSize((mem->width + 2) * sizeof(Transition)) +
                      roundedSize(mem->height * sizeof(Transition*));
  for (std::uint32_t i = 0; i < mem->height; ++i)
    total += roundedSize(listLength(mem->lines[i], mem->width) * sizeof(Transition));
  return total;
}

}  // namespace hv::engine
