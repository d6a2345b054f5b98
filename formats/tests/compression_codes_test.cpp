#include "formats/compression_codes.h"

#include <gtest/gtest.h>

#include "formats/tiff_tags.h"

namespace hv::formats {
namespace {

constexpr std::uint32_t kTiffValues[] = {kTiffNoCompression, kTiffModifiedHuffman, kTiffGroup3, kTiffGroup4,
                                         kTiffLzw,           kTiffPackBits,        kTiffG4Wrap, 0,
                                         6,                  7,                    32771,       65535};

// What the TIFF writer stores reads back as the same record code.
TEST(CompressionCodes, WrittenTiffValuesReadBackAsTheirRecordCode) {
  int written = 0;
  for (int code = -1; code <= 9; ++code) {
    const std::uint16_t value = tiffCompressionForRecord(code);
    if (value == 0) continue;
    ++written;
    EXPECT_EQ(recordFromTiffCompression(value, 0), code) << code;
  }
  EXPECT_EQ(written, 5);  // Group 3 1-D, Modified Huffman, Group 4, uncompressed, Group 4 wrap
  EXPECT_EQ(tiffCompressionForRecord(kCompG3TwoD), 0);
  EXPECT_EQ(tiffCompressionForRecord(kCompPackBits), 0);
  EXPECT_EQ(tiffCompressionForRecord(kCompTiled), 0);
}

// Identification knows a TIFF value exactly when the reader does, and both
// take T4Options bit 0 for Group 3 2-D and only for Group 3.
TEST(CompressionCodes, IdentificationAgreesWithTheReader) {
  for (std::uint32_t value : kTiffValues) {
    for (std::uint32_t options : {0u, kTiffT4TwoDimensional}) {
      const int record = recordFromTiffCompression(value, options);
      const int ident = identFromTiffCompression(value, options, kTiffFillMsbFirst);
      EXPECT_EQ(record < 0, ident == kIdentUnknown) << value;
      EXPECT_EQ(record == kCompG3TwoD, ident == kIdentG3TwoD) << value;
      EXPECT_EQ(record == kCompG4, ident == kIdentG4) << value;
    }
  }
  EXPECT_EQ(recordFromTiffCompression(kTiffLzw, 0), kNoRecordForLzw);
  EXPECT_EQ(recordFromTiffCompression(7, 0), kNoRecordForUnknown);
  EXPECT_EQ(identFromTiffCompression(kTiffNoCompression, 0, kTiffFillLsbFirst), kIdentRawLsb);
  EXPECT_EQ(identFromTiffCompression(kTiffNoCompression, 0, 3), kIdentRawMsb);
  EXPECT_EQ(identFromTiffCompression(kTiffGroup4, 0, kTiffFillLsbFirst), kIdentG4);
}

}  // namespace
}  // namespace hv::formats
