#pragma once
// The engine's allocator: every engine structure comes from here. Requests
// are rounded up to the next multiple of 16 above them and zero-filled.
#include <cstddef>

namespace hv::engine {

// Bytes actually reserved for a request of n bytes.
constexpr std::size_t roundedSize(std::size_t n) { return (n & ~std::size_t{15}) + 16; }
static_assert(roundedSize(0) == 16 && roundedSize(15) == 16 && roundedSize(16) == 32);

void* engineAlloc(std::size_t n);
// Grows or shrinks a block; the added bytes are not cleared. Null on failure
// (the old block then stays valid).
void* engineRealloc(void* p, std::size_t n);
// A new block holding a copy of n bytes (the rest of the rounded block zero).
void* engineAllocCopy(const void* src, std::size_t n);
// Frees any engine block (null is ignored); always reports 0.
int engineFree(void* p);

// For tests of running out of memory: the next `count` allocations succeed
// and every one after them fails, until called again; a negative count
// (the start) never fails.
void failEngineAllocationsAfter(long count);

template <typename T>
T* engineAllocArray(std::size_t count) {
  if (count > (~std::size_t{0} - 32) / sizeof(T)) return nullptr;
  return static_cast<T*>(engineAlloc(count * sizeof(T)));
}

}  // namespace hv::engine
