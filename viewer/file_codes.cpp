#include "viewer/file_codes.h"

#include <cstring>

#include "formats/compression_codes.h"
#include "formats/format_tables.h"
#include "formats/identify.h"

namespace hv::viewer {

namespace {
// Indexed by the identification numbers - 1: document type
// (formats/document_type.h), filter and identification compression
// (formats/format_tables.h); the last entry stands for none.
const char* const kDocumentCodes[] = {"HOLL", "DED ", "40AD", "40BD", "JMXD", "GIOS", "DFIS", "    "};
const char* const kKindCodes[] = {"TIFF", "CAL2", "CAL1", "EDM5", "EDM6", "AUD ", "DSED", "PDF "};
const char* const kCompressionCodes[] = {"RAWL", "RAWM", "GP3 ", "GP3T", "GP4 ", "GP4W", "PBIT", "GP32"};

const char* pick(const char* const table[8], int number) {
  return number >= 1 && number <= 8 ? table[number - 1] : "    ";
}
}  // namespace

int IdentifyFileCodes(const std::string& path, FileCodes& codes) {
  codes = FileCodes{};
  int document = 0, filter = 0, compression = 0;
  std::uint32_t offset = 0;
  if (imfTypeDosFile(path.c_str(), &document, &filter, &compression, &offset) != 1) return 0;
  std::memcpy(codes.document, pick(kDocumentCodes, document), 4);
  std::memcpy(codes.kind, pick(kKindCodes, filter), 4);
  std::memcpy(codes.compression, pick(kCompressionCodes, compression), 4);
  return 1;
}

const char* kindForImageType(int imageType) {
  switch (imageType) {
    case formats::kFilterCals2: return "CAL2";
    case formats::kFilterCals1: return "CAL1";
    case formats::kFilterEdmics5: return "EDM5";
    case formats::kFilterEdmics6: return "EDM6";
    case formats::kFilterAudre: return "AUD ";
    case formats::kFilterImportExport: return "DSED";
    default: return "TIFF";
  }
}

const char* compressionForRecord(int compression) {
  switch (compression) {
    case formats::kCompG3OneD: return "GP3 ";
    case formats::kCompModHuffman: return "GP3T";
    case formats::kCompG3TwoD: return "GP32";
    case formats::kCompG4: return "GP4 ";
    case formats::kCompPackBits: return "PBIT";
    case formats::kCompG4Wrap: return "GP4W";
    default: return "RAWL";
  }
}

void codesForSaveAsType(int type, const char*& kind, const char*& compression) {
  static const char* const kinds[] = {"TIFF", "TIFF", "TIFF", "CAL1", "CAL2", "EDM6"};
  static const char* const compressions[] = {"GP4 ", "GP3 ", "GP3T", "GP4 ", "GP4 ", "GP4 "};
  int i = type >= 1 && type <= 6 ? type - 1 : 0;
  kind = kinds[i];
  compression = compressions[i];
}

}  // namespace hv::viewer
