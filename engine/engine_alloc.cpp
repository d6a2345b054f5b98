#include "engine/engine_alloc.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace hv::engine {
namespace {

std::atomic<long> allocationsLeft{-1};  // negative: no fault planted

bool plantedFault() {
  if (allocationsLeft.load(std::memory_order_relaxed) < 0) return false;
  return allocationsLeft.fetch_sub(1, std::memory_order_relaxed) <= 0;
}

}  // namespace

void failEngineAllocationsAfter(long count) { allocationsLeft.store(count < 0 ? -1 : count); }

void* engineAlloc(std::size_t n) { return plantedFault() ? nullptr : std::calloc(1, roundedSize(n)); }

void* engineAllocCopy(const void* src, std::size_t n) {
  if (plantedFault()) return nullptr;
  std::size_t size = roundedSize(n);
  void* p = std::malloc(size);
  if (p == nullptr) return nullptr;
  std::memcpy(p, src, n);
  std::memset(static_cast<char*>(p) + n, 0, size - n);
  return p;
}

void* engineRealloc(void* p, std::size_t n) { return plantedFault() ? nullptr : std::realloc(p, roundedSize(n)); }

int engineFree(void* p) {
  std::free(p);
  return 0;
}

}  // namespace hv::engine
