#pragma once
// Document types: the kinds of document index and record file that
// identification recognises. imfTypeDosFile reports them through its
// documentType argument and `hvtool identify` prints the number, so every
// value is fixed.
namespace hv::formats {

enum DocumentType : int {
  kDocumentNone = 0,          // not a document index (an image, or not recognised)
  kDocumentHollerith = 1,     // INDEX.HOL: aperture card Hollerith index
  kDocumentImportExport = 2,  // IMPORT/EXPORT document (.DED)
  kDocument1840A = 3,         // MIL-STD-1840 A declaration file (holds "srcsys:")
  kDocument1840B = 4,         // MIL-STD-1840 B declaration file (holds "version:")
  kDocumentJedmics = 5,       // JMX.HOL: JEDMICS document data
  kDocumentGisGos = 6,        // JEDMICS GIS/GOS data
  kDocumentCdex = 7,          // JEDMICS CDEX data (.DLF)
};

// The highest document type; kDocumentFormats lists types 1 to this.
inline constexpr int kLastDocumentType = kDocumentCdex;

}  // namespace hv::formats
