#include "engine/engine_alloc.h"

#include <cstdlib>
#include <cstring>

namespace hv::engine {

void* engineAlloc(std::size_t n) { return std::calloc(1, roundedSize(n)); }

void* engineAllocCopy(const void* src, std::size_t n) {
  std::size_t size = roundedSize(n);
  void* p = std::malloc(size);
  if (p == nullptr) return nullptr;
  std::memcpy(p, src, n);
  std::memset(static_cast<char*>(p) + n, 0, size - n);
  return p;
}

void* engineRealloc(void* p, std::size_t n) { return std::realloc(p, roundedSize(n)); }

int engineFree(void* p) {
  std::free(p);
  return 0;
}

}  // namespace hv::engine
