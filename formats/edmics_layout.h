#pragma once
// On-disk layouts of the EDMICS V, EDMICS VI (C4) and Audre headers.
#include <cstddef>
#include <cstdint>

namespace hv::formats::edm5 {
inline constexpr std::size_t kWidthAt = 26;   // big-endian 16-bit
inline constexpr std::size_t kHeightAt = 30;  // big-endian 16-bit
inline constexpr std::size_t kDigitsAt = 100;
inline constexpr std::size_t kDigitsBytes = 5;
inline constexpr std::size_t kHeaderBytes = 512;
static_assert(kDigitsAt + kDigitsBytes <= kHeaderBytes);
}  // namespace hv::formats::edm5

namespace hv::formats::edm6 {
inline constexpr std::size_t kIndexOffsetAt = 0;  // 32-bit; 0 means kHeaderBytes
inline constexpr std::size_t kHeightAt = 4;       // 16-bit; 0: derived
inline constexpr std::size_t kWidthBytesAt = 6;   // 16-bit
inline constexpr std::size_t kDataOffsetAt = 8;   // 32-bit big-endian; 0: after the index
inline constexpr std::size_t kTileCountAt = 12;   // 1 byte, 0 above kSmallTileCount
inline constexpr std::size_t kSecondHeaderAt = 14;  // non-zero 32-bit word: the variant at 14
inline constexpr std::size_t kVersionAt = 28;     // 16-bit 0x0100
inline constexpr std::size_t kIndexKindAt = 36;   // 4 or 6
inline constexpr std::size_t kResolutionAt = 38;  // 16-bit; 0 means 200
inline constexpr std::size_t kCardAt = 41;
inline constexpr std::size_t kCardBytes = 80;
inline constexpr std::size_t kHeaderBytes = 128;
static_assert(kCardAt + kCardBytes <= kHeaderBytes);

inline constexpr std::uint16_t kVersion = 0x0100;
inline constexpr std::uint32_t kSmallTileCount = 252;
inline constexpr std::uint8_t kSmallIndex = 4, kLargeIndex = 6;
inline constexpr std::uint32_t kTileSide = 512;
inline constexpr std::size_t kEntryBytes = 4;  // tile number, uncompressed flag, 16-bit size
inline constexpr std::uint32_t kMaxTileBytes = 65535;
}  // namespace hv::formats::edm6

namespace hv::formats::audre {
inline constexpr std::size_t kIdAt = 0, kIdBytes = 6;
inline constexpr std::size_t kWidthAt = 6, kHeightAt = 12, kQuadWidthAt = 18;
inline constexpr std::size_t kXResAt = 24, kYResAt = 30;
inline constexpr std::size_t kNumberBytes = 6;
inline constexpr std::size_t kFormatAt = 36, kBitsAt = 37, kPhotometricAt = 38, kBitOrderAt = 39;
inline constexpr std::size_t kKept1At = 40, kKept2At = 46, kKept3At = 132;
inline constexpr std::size_t kHeaderBytes = 1024;
inline constexpr std::size_t kReadBytes = 1028;
static_assert(kKept2At + kNumberBytes <= kKept3At && kKept3At < kHeaderBytes);
inline constexpr const char* kFileId = "AD1000";
}  // namespace hv::formats::audre
