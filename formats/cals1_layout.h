#pragma once
// CALS raster file header: 128-byte ASCII records, space padded, no
// terminators. The coded raster follows the 16 header records at byte 2048.
#include <cstddef>

namespace hv::formats::cals {

inline constexpr std::size_t kRecordBytes = 128;
inline constexpr std::size_t kHeaderRecords = 16;
inline constexpr std::size_t kHeaderBytes = kRecordBytes * kHeaderRecords;  // where the raster starts
inline constexpr std::size_t kBlockRecords = 20;
inline constexpr std::size_t kBlockBytes = kRecordBytes * kBlockRecords;    // the header as handled in memory
static_assert(kHeaderBytes == 2048 && kBlockBytes == 2560);

// Form A (the first record is not "specversion: "): record numbers.
namespace form_a {
inline constexpr int kSrcDocId = 0, kDstDocId = 1, kTxtFilId = 2, kFigId = 3, kSrcGph = 4, kDocCls = 5,
                     kRType = 6, kROrient = 7, kRPelCnt = 8, kRDensty = 9, kNotes = 10;
// Fixed places of the raster values read from a Form A header.
inline constexpr std::size_t kPelPathAt = 905;     // "rorient: " value, first angle
inline constexpr std::size_t kLineProgAt = 909;    // second angle
inline constexpr std::size_t kWidthAt = 1033;      // "rpelcnt: " value, pixels per line
inline constexpr std::size_t kHeightAt = 1040;     // number of lines
inline constexpr std::size_t kDensityAt = 1161;    // "rdensty: " value
static_assert(kPelPathAt == kROrient * kRecordBytes + 9 && kWidthAt == kRPelCnt * kRecordBytes + 9 &&
              kDensityAt == kRDensty * kRecordBytes + 9);
}  // namespace form_a

// Form B (the first record begins "specversion: "): record numbers.
namespace form_b {
inline constexpr int kSpecVersion = 0, kSrcDocId = 1, kDstDocId = 2, kDType = 3, kROrient = 4, kRPelCnt = 5,
                     kRDensty = 6, kDocCls = 7, kNotes = 8;
}  // namespace form_b

}  // namespace hv::formats::cals
