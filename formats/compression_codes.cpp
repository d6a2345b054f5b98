#include "formats/compression_codes.h"

#include "formats/tiff_tags.h"

namespace hv::formats {

int recordFromTiffCompression(std::uint32_t value, std::uint32_t t4Options) {
  switch (value) {
    case kTiffNoCompression: return kCompUncompressed;
    case kTiffModifiedHuffman: return kCompModHuffman;
    case kTiffGroup3: return (t4Options & kTiffT4TwoDimensional) ? kCompG3TwoD : kCompG3OneD;
    case kTiffGroup4: return kCompG4;
    case kTiffPackBits: return kCompPackBits;
    case kTiffG4Wrap: return kCompG4Wrap;
    case kTiffLzw: return kNoRecordForLzw;
    default: return kNoRecordForUnknown;
  }
}

std::uint16_t tiffCompressionForRecord(int recordCode) {
  switch (recordCode) {
    case kCompG3OneD: return kTiffGroup3;
    case kCompModHuffman: return kTiffModifiedHuffman;
    case kCompG4: return kTiffGroup4;
    case kCompUncompressed: return kTiffNoCompression;
    case kCompG4Wrap: return kTiffG4Wrap;
    default: return 0;
  }
}

int identFromTiffCompression(std::uint32_t value, std::uint32_t t4Options, std::uint32_t fillOrder) {
  switch (value) {
    case kTiffNoCompression: return fillOrder == kTiffFillLsbFirst ? kIdentRawLsb : kIdentRawMsb;
    case kTiffModifiedHuffman: return kIdentModHuffman;
    case kTiffGroup3: return (t4Options & kTiffT4TwoDimensional) ? kIdentG3TwoD : kIdentG3OneD;
    case kTiffGroup4: return kIdentG4;
    case kTiffPackBits: return kIdentPackBits;
    case kTiffG4Wrap: return kIdentG4Wrap;
    default: return kIdentUnknown;
  }
}

}  // namespace hv::formats
