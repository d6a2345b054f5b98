#include "engine/packed.h"

#include <array>
#include <cstring>

namespace hv::engine {
namespace {

constexpr std::uint8_t kStartMask[8] = {0xFF, 0x7F, 0x3F, 0x1F, 0x0F, 0x07, 0x03, 0x01};
constexpr std::uint8_t kEndMask[8] = {0xFF, 0x80, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC, 0xFE};

// For a byte entered with the current colour white (table 0) or black
// (table 1): the number of colour changes in its low 4 bits and, 3 bits
// each above them, the bit positions (0 = leftmost) where they happen.
constexpr std::array<std::array<std::uint32_t, 256>, 2> makeChangeTables() {
  std::array<std::array<std::uint32_t, 256>, 2> t{};
  for (unsigned colour = 0; colour < 2; ++colour) {
    for (unsigned b = 0; b < 256; ++b) {
      unsigned current = colour, count = 0;
      std::uint32_t entry = 0;
      for (unsigned pos = 0; pos < 8; ++pos) {
        unsigned bit = (b >> (7 - pos)) & 1u;
        if (bit != current) {
          entry |= static_cast<std::uint32_t>(pos) << (4 + 3 * count);
          ++count;
          current = bit;
        }
      }
      t[colour][b] = entry | count;
    }
  }
  return t;
}
constexpr auto kChanges = makeChangeTables();
static_assert((kChanges[0][0x80] & 15) == 2 && (kChanges[1][0xFF] & 15) == 0);

void setRun(std::uint8_t* row, std::uint32_t from, std::uint32_t to) {
  if (from >= to) return;
  std::uint32_t fb = from >> 3, lb = (to - 1) >> 3;
  if (fb == lb) {
    row[fb] |= static_cast<std::uint8_t>(kStartMask[from & 7] & kEndMask[((to - 1) & 7) + 1 == 8 ? 0 : ((to - 1) & 7) + 1]);
    return;
  }
  row[fb] |= kStartMask[from & 7];
  if (lb > fb + 1) std::memset(row + fb + 1, 0xFF, lb - fb - 1);
  row[lb] |= kEndMask[to & 7];
}

}  // namespace

void listToBits(const Transition* list, std::uint32_t width, std::uint8_t* row, std::uint32_t first,
                std::uint32_t last) {
  if (last > width) last = width;
  std::size_t k = 0;
  while (list[k] < width) {
    std::uint32_t start = list[k];
    std::uint32_t end = list[k + 1] < width ? list[k + 1] : width;
    if (start >= last) break;
    std::uint32_t a = start < first ? first : start;
    std::uint32_t b = end > last ? last : end;
    setRun(row, a, b);
    if (list[k + 1] >= width) break;
    k += 2;
  }
}

std::size_t bitsToList(const std::uint8_t* row, std::uint32_t width, Transition* out, std::size_t capacity) {
  std::size_t n = 0;
  unsigned colour = 0;
  std::uint32_t bytes = (width + 7) / 8;
  for (std::uint32_t i = 0; i < bytes; ++i) {
    std::uint8_t b = row[i];
    if ((colour == 0 && b == 0) || (colour == 1 && b == 0xFF)) continue;
    std::uint32_t entry = kChanges[colour][b];
    unsigned count = entry & 15;
    for (unsigned c = 0; c < count; ++c) {
      std::uint32_t column = i * 8 + ((entry >> (4 + 3 * c)) & 7);
      if (column >= width) {
        count = c;  // the rest lies in the padding
        break;
      }
      if (n + 1 >= capacity) return 0;
      out[n++] = static_cast<Transition>(column);
    }
    if (count & 1) colour ^= 1;
  }
  if (n >= capacity) return 0;
  out[n++] = static_cast<Transition>(width);
  return n;
}

std::size_t invertList(const Transition* list, std::uint32_t width, Transition* out, std::size_t capacity) {
  std::size_t n = 0, k = 0;
  if (list[0] == 0 && width > 0) {
    k = 1;  // the line started black: now it starts white
  } else {
    if (capacity < 1) return 0;
    out[n++] = 0;
  }
  for (; list[k] < width; ++k) {
    if (n >= capacity) return 0;
    out[n++] = list[k];
  }
  if (n >= capacity) return 0;
  out[n++] = static_cast<Transition>(width);
  return n;
}

}  // namespace hv::engine
