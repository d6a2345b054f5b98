#pragma once
// The four-character document, file-kind and compression codes of a file,
// and the code tables of saving.
#include <string>

namespace hv::viewer {

struct FileCodes {
  char document[5] = "    ";
  char kind[5] = "    ";
  char compression[5] = "    ";
  bool knownKind() const { return std::string(kind) != "    "; }
};

// Identifies the file; 1 on success (codes mapped), 0 otherwise (codes blank).
int IdentifyFileCodes(const std::string& path, FileCodes& codes);

// The file kind and compression a save keeps for an image of this record
// filter (image type) and record compression.
const char* kindForImageType(int imageType);
const char* compressionForRecord(int compression);
// The codes of a Save As type number (1..6; any other is TIFF Group 4).
void codesForSaveAsType(int type, const char*& kind, const char*& compression);

}  // namespace hv::viewer
