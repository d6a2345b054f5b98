#pragma once
// The three numberings of a compression, and the conversions between them:
//  - the record code (RecordCompression) an image file record and the coded
//    data hand-over carry, which the decoder and encoder switch on;
//  - the identification code (IdentCompression) imfTypeDosFile reports and
//    `hvtool identify` prints;
//  - the value of the TIFF Compression tag (TiffCompression; TIFF 6.0
//    sections 3, 9, 10, 11 and 13), as stored in a TIFF file.
// Every value crosses a file format or the exported C interface and is fixed.
#include <cstdint>

namespace hv::formats {

// Record compression codes. Value 5 is not used.
enum RecordCompression : int {
  kCompG3OneD = 0,        // CCITT Group 3 1-D (ITU-T T.4 section 4.1), EOL before every line
  kCompModHuffman = 1,    // Modified Huffman (TIFF compression 2), byte-aligned lines without EOL
  kCompG3TwoD = 2,        // CCITT Group 3 2-D (ITU-T T.4 section 4.2)
  kCompG4 = 3,            // CCITT Group 4 (ITU-T T.6)
  kCompPackBits = 4,      // PackBits run-length bytes (TIFF 6.0 section 9)
  kCompUncompressed = 6,  // one bit per pixel, rows padded to whole bytes
  kCompG4Wrap = 7,        // Group 4 lines each preceded by an EOL (TIFF compression 32815)
  kCompTiled = 8,         // tiled data; tiles are Group 4 unless a buffer says otherwise
};

// True for the record codes whose data the decoder reads bit-serially: the
// CCITT codings (Group 3, Group 4, Modified Huffman and Group 4 wrap).
constexpr bool isCcittCode(int code) {
  return code == kCompG3OneD || code == kCompModHuffman || code == kCompG3TwoD || code == kCompG4 ||
         code == kCompG4Wrap;
}

// Compression codes reported by identification.
enum IdentCompression : int {
  kIdentUnknown = 0,     // no Compression tag, or a value not listed here
  kIdentRawLsb = 1,      // uncompressed, least significant bit first (FillOrder 2)
  kIdentRawMsb = 2,      // uncompressed, most significant bit first
  kIdentG3OneD = 3,      // CCITT Group 3 one-dimensional
  kIdentModHuffman = 4,  // Modified Huffman
  kIdentG4 = 5,          // CCITT Group 4
  kIdentG4Wrap = 6,      // Group 4 wrap
  kIdentPackBits = 7,    // PackBits
  kIdentG3TwoD = 8,      // CCITT Group 3 two-dimensional
};

// Values of the TIFF Compression tag that the readers tell apart.
enum TiffCompression : std::uint32_t {
  kTiffNoCompression = 1,    // one bit per pixel, rows padded to whole bytes
  kTiffModifiedHuffman = 2,  // CCITT Group 3 1-D Modified Huffman run length encoding
  kTiffGroup3 = 3,           // CCITT T.4 (Group 3); T4Options bit 0 says 1-D or 2-D
  kTiffGroup4 = 4,           // CCITT T.6 (Group 4); assumed when the tag is missing
  kTiffLzw = 5,              // LZW, refused with its own message
  kTiffPackBits = 32773,     // PackBits (TIFF 6.0 section 9)
  kTiffG4Wrap = 32815,       // private value: Group 4 lines each preceded by an EOL
};

// The record code of a TIFF Compression value; t4Options is the T4Options
// tag's value (only bit 0 is looked at). kNoRecordForLzw for LZW and
// kNoRecordForUnknown for any value not listed in TiffCompression.
inline constexpr int kNoRecordForLzw = -1;
inline constexpr int kNoRecordForUnknown = -2;
int recordFromTiffCompression(std::uint32_t value, std::uint32_t t4Options);

// The Compression value the TIFF writer stores for a record code; 0 for a
// record code it does not write (Group 3 2-D, PackBits, tiled).
std::uint16_t tiffCompressionForRecord(int recordCode);

// The identification code of a TIFF Compression value: t4Options as above,
// fillOrder the FillOrder tag's value (kTiffFillMsbFirst when absent), which
// tells the two uncompressed codes apart.
int identFromTiffCompression(std::uint32_t value, std::uint32_t t4Options, std::uint32_t fillOrder);

}  // namespace hv::formats
