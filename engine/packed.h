#pragma once
// Packed form: 1 bit per pixel, leftmost pixel in the most significant bit,
// 1 = black. Conversions between packed rows and transition lists.
#include <cstddef>
#include <cstdint>

#include "engine/image_memory.h"
#include "platform/export.h"

namespace hv::engine {

// Sets the black runs of `list` that fall within [first, last) into `row`
// (bit index = column), which the caller has cleared.
HV_EXPORT void listToBits(const Transition* list, std::uint32_t width, std::uint8_t* row, std::uint32_t first,
                          std::uint32_t last);

// Converts the first `width` pixels of a packed row into a transition list
// with its terminator. Transitions in the padding bits beyond the width are
// dropped. Returns the entry count (terminator included), or 0 when the list
// would not fit in `capacity` entries.
HV_EXPORT std::size_t bitsToList(const std::uint8_t* row, std::uint32_t width, Transition* out,
                                 std::size_t capacity);

// Inverts a transition list in place-free fashion: writes the list of the
// complementary line into `out` (capacity entries); returns the count or 0.
HV_EXPORT std::size_t invertList(const Transition* list, std::uint32_t width, Transition* out,
                                 std::size_t capacity);

}  // namespace hv::engine
