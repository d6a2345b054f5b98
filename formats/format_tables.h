#pragma once
// The two fixed tables of format codes: image formats (8-character codes
// made of a file-kind half and a compression half) and document formats.
#include <cstdint>
#include <string_view>

#include "formats/compression_codes.h"
#include "formats/document_type.h"
#include "platform/export.h"

namespace hv::formats {

struct ImageFormat {
  char code[9];  // 8 characters, space padded (NUL only for convenience)
  const char* name;
};

struct DocumentFormat {
  char code[5];
  const char* name;
};

inline constexpr int kImageFormatCount = 15;
inline constexpr int kDocumentFormatCount = kLastDocumentType;

HV_EXPORT extern const ImageFormat kImageFormats[kImageFormatCount];
HV_EXPORT extern const DocumentFormat kDocumentFormats[kDocumentFormatCount];

// Filter numbers bound by the file manager.
enum Filter : int {
  kFilterNone = 0,
  kFilterTiff = 1,
  kFilterCals2 = 2,
  kFilterCals1 = 3,
  kFilterEdmics5 = 4,
  kFilterEdmics6 = 5,
  kFilterAudre = 6,
  kFilterImportExport = 7,
  kFilterPdf = 8,
};

// A 4-character half of a code compared as one 32-bit word.
constexpr std::uint32_t codeWord(const char* four) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(four[0])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(four[1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(four[2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(four[3])) << 24;
}

// Looks an image format code up; accepts the code with or without its
// trailing blanks, ignoring case. -1 when unknown.
HV_EXPORT int findImageFormat(std::string_view code);

HV_EXPORT const char* filterName(int filter);
HV_EXPORT const char* identCompressionName(int compression);
// Display name of a document type (kDocumentHollerith to kLastDocumentType),
// "" for kDocumentNone or an unknown number.
HV_EXPORT const char* documentTypeName(int documentType);

}  // namespace hv::formats
