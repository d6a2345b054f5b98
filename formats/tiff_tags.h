#pragma once
// TIFF 6.0 numbers the readers and writers use: the tags of an image file
// directory (TIFF 6.0 section 8 lists the baseline ones, section 11
// T4Options, section 15 the tile tags), the field types of its entries
// (section 2) and the tag values with a meaning of their own. The
// values of the Compression tag are named with the other compression
// numberings in compression_codes.h. Every value is as the standard fixes it.
#include <cstdint>

namespace hv::formats {

// The 16-bit header word after the byte order mark: 42 for TIFF 6.0, 43 for
// BigTIFF (which is not read).
inline constexpr std::uint16_t kTiffVersion = 42;
inline constexpr std::uint16_t kBigTiffVersion = 43;

enum TiffTag : std::uint16_t {
  kTiffNewSubfileType = 254,    // LONG: kind of subfile; 0 for a full-resolution page
  kTiffImageWidth = 256,        // SHORT or LONG: pixels per row
  kTiffImageLength = 257,       // SHORT or LONG: rows
  kTiffBitsPerSample = 258,     // SHORT: 1 for a bilevel image
  kTiffCompression = 259,       // SHORT: a TiffCompression value (compression_codes.h)
  kTiffPhotometric = 262,       // SHORT: PhotometricInterpretation, a TiffPhotometric
  kTiffFillOrder = 266,         // SHORT: bit order within a byte, a TiffFillOrder
  kTiffImageDescription = 270,  // ASCII
  kTiffStripOffsets = 273,      // SHORT or LONG array: where each strip begins
  kTiffOrientation = 274,       // SHORT: 1 to 8, where row 0 and column 0 lie on the page
  kTiffSamplesPerPixel = 277,   // SHORT: 1 for a bilevel image
  kTiffRowsPerStrip = 278,      // SHORT or LONG
  kTiffStripByteCounts = 279,   // SHORT or LONG array: coded bytes of each strip
  kTiffXResolution = 282,       // RATIONAL: pixels per ResolutionUnit across
  kTiffYResolution = 283,       // RATIONAL: pixels per ResolutionUnit down
  kTiffT4Options = 292,         // LONG: Group 3 options, kTiffT4TwoDimensional among them
  kTiffResolutionUnit = 296,    // SHORT: a TiffResolutionUnit
  kTiffSoftware = 305,          // ASCII: the program that wrote the file
  kTiffDateTime = 306,          // ASCII: "YYYY:MM:DD HH:MM:SS"
  kTiffArtist = 315,            // ASCII
  kTiffTileWidth = 322,         // SHORT or LONG: pixels per tile row
  kTiffTileLength = 323,        // SHORT or LONG: rows per tile
  kTiffTileOffsets = 324,       // LONG array: where each tile begins
  kTiffTileByteCounts = 325,    // SHORT or LONG array: coded bytes of each tile
};

// Field types of a directory entry and the byte size of one value.
enum TiffType : std::uint16_t {
  kTiffByte = 1,      // 8-bit unsigned
  kTiffAscii = 2,     // 8-bit character, the text ends with a NUL
  kTiffShort = 3,     // 16-bit unsigned
  kTiffLong = 4,      // 32-bit unsigned
  kTiffRational = 5,  // two LONGs: numerator, denominator
};

// PhotometricInterpretation for a bilevel image.
enum TiffPhotometric : std::uint32_t {
  kTiffWhiteIsZero = 0,  // a 0 bit is white
  kTiffBlackIsZero = 1,  // a 0 bit is black
};

// FillOrder: which bit of a byte holds the first pixel.
enum TiffFillOrder : std::uint32_t {
  kTiffFillMsbFirst = 1,  // the most significant bit (the default)
  kTiffFillLsbFirst = 2,  // the least significant bit
};

// ResolutionUnit.
enum TiffResolutionUnit : std::uint32_t {
  kTiffUnitNone = 1,
  kTiffUnitInch = 2,  // the default
  kTiffUnitCentimetre = 3,
};

// Orientation: 1 is row 0 at the top and column 0 at the left (the default);
// 8 is the highest defined value.
inline constexpr std::uint32_t kTiffOrientationTopLeft = 1;
inline constexpr std::uint32_t kTiffOrientationLast = 8;

// T4Options bit 0: the Group 3 data is two-dimensionally coded (ITU-T T.4
// section 4.2).
inline constexpr std::uint32_t kTiffT4TwoDimensional = 1;

}  // namespace hv::formats
