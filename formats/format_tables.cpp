#include "formats/format_tables.h"

#include <cctype>
#include <string>

namespace hv::formats {

const ImageFormat kImageFormats[kImageFormatCount] = {
    {"CAL1GP4 ", "CALS Type 1"},
    {"CAL2GP4 ", "CALS Type 2"},
    {"EDM6GP4 ", "EDMICS VI (C4)"},
    {"TIFFGP3T", "TIFF Group 3"},
    {"TIFFGP3 ", "TIFF Group 3 CCITT"},
    {"TIFFGP4 ", "TIFF Group 4 CCITT"},
    {"TIFFGP4W", "TIFF Group 4 Wrap"},
    {"DSEDGP4W", "IMPORT/EXPORT Group 4 Wrap"},
    {"CPFTCPCP", "Copy Source Format"},
    {"TIFFRAWL", "TIFF L"},
    {"TIFFRAWM", "TIFF M"},
    {"TIFFPBIT", "TIFF Packbits"},
    {"TIFFGP32", "TIFF Group 3 (2D)"},
    {"EDM5GP4 ", "EDMICS V"},
    {"AUD RAWM", "AUDRE"},
};

// Indexed by document type - 1 (document_type.h).
const DocumentFormat kDocumentFormats[kDocumentFormatCount] = {
    {"HOLL", "Aperture Card Hollerith"},
    {"DED ", "IMPORT/EXPORT"},
    {"40AD", "1840 A"},
    {"40BD", "1840 B"},
    {"JMXD", "Jedmics Document Data"},
    {"GIOS", "Jedmics GIS/GOS Data"},
    {"DFIS", "Jedmics CDEX Data"},
};

int findImageFormat(std::string_view code) {
  if (code.size() > 8) return -1;
  std::string padded(code);
  padded.resize(8, ' ');
  for (char& c : padded) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (int i = 0; i < kImageFormatCount; ++i)
    if (padded == std::string_view(kImageFormats[i].code, 8)) return i;
  return -1;
}

const char* filterName(int filter) {
  switch (filter) {
    case kFilterTiff: return "TIFF";
    case kFilterCals2: return "CALS Type 2";
    case kFilterCals1: return "CALS Type 1";
    case kFilterEdmics5: return "EDMICS V";
    case kFilterEdmics6: return "EDMICS VI (C4)";
    case kFilterAudre: return "Audre";
    case kFilterImportExport: return "IMPORT/EXPORT image";
    case kFilterPdf: return "PDF";
    default: return "none";
  }
}

const char* identCompressionName(int compression) {
  switch (compression) {
    case kIdentRawLsb: return "uncompressed, least significant bit first";
    case kIdentRawMsb: return "uncompressed, most significant bit first";
    case kIdentG3OneD: return "CCITT Group 3 one-dimensional";
    case kIdentModHuffman: return "Modified Huffman";
    case kIdentG4: return "CCITT Group 4";
    case kIdentG4Wrap: return "Group 4 (WRAP)";
    case kIdentPackBits: return "PackBits";
    case kIdentG3TwoD: return "CCITT Group 3 two-dimensional";
    default: return "unknown";
  }
}

const char* documentTypeName(int documentType) {
  if (documentType < kDocumentHollerith || documentType > kLastDocumentType) return "";
  return kDocumentFormats[documentType - kDocumentHollerith].name;
}

}  // namespace hv::formats
