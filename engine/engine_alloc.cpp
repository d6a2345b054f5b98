#include "engine/engine_alloc.h"

#include <cstdlib>

namespace hv::engine {

void* engineAlloc(std::size_t n) { return std::calloc(1, roundedSize(n)); }

void* engineRealloc(void* p, std::size_t n) { return std::realloc(p, roundedSize(n)); }

int engineFree(void* p) {
  std::free(p);
  return 0;
}

}  // namespace hv::engine
