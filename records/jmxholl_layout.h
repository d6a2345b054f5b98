#pragma once
// Byte layout of the 1072-byte JEDMICS record kept in JMX.HOL: a tag, 56
// NUL-padded text fields without gaps, the sequence number, the edit history
// and carried bytes.
#include <cstddef>

namespace hv::records::jmx {

inline constexpr std::size_t kRecordSize = 1072;
inline constexpr std::size_t kTag = 0;  // "jmxrecid: "
inline constexpr std::size_t kTagSize = 10;
inline constexpr std::size_t kFields = 10;
inline constexpr std::size_t kSeqNum = 1034;
inline constexpr std::size_t kSeqNumSize = 4;
inline constexpr std::size_t kEditHistory = 1038;
inline constexpr std::size_t kEditHistorySize = 10;
inline constexpr std::size_t kCarried = 1048;
inline constexpr std::size_t kBipCompanion = 1050;  // blanked whenever the BIP flag is written
inline constexpr int kFieldCount = 56;

// How the conversions move a field to and from the Hollerith record.
enum class HollMap { None, Left, RightRev };

struct FieldSpec {
  const char* key;
  const char* caption;
  std::size_t offset;
  std::size_t width;
  HollMap map;
  std::size_t hollOffset;  // first Hollerith byte
  std::size_t hollWidth;   // Hollerith bytes taken
};

// Field n (1..56) is kFieldSpecs[n - 1].
inline constexpr FieldSpec kFieldSpecs[kFieldCount] = {
    {"DOCNUM", "Document #", 10, 32, HollMap::Left, 12, 15},
    {"CAGE", "Cage", 42, 5, HollMap::Left, 27, 5},
    {"DOCTYPE", "D-Type", 47, 2, HollMap::Left, 10, 2},
    {"DOCSIZE", "Size", 49, 2, HollMap::Left, 65, 2},
    {"DOCREV", "D-Rev", 51, 2, HollMap::RightRev, 32, 2},
    {"REVDATE", "Rev Date", 53, 18, HollMap::None, 0, 0},
    {"DOCTITLE", "Document Title", 71, 40, HollMap::None, 0, 0},
    {"SHEETNBR", "Sheet #", 111, 12, HollMap::Left, 61, 4},
    {"#SHEETS", "# of Sheets", 123, 4, HollMap::Left, 69, 3},
    {"SHEETREV", "S-Rev", 127, 2, HollMap::None, 0, 0},
    {"FRAME#", "Frame #", 129, 4, HollMap::Left, 48, 4},
    {"#FRAMES", "# of Frames", 133, 4, HollMap::Left, 52, 4},
    {"FILETYPE", "File Type", 137, 5, HollMap::None, 0, 0},
    {"FILE TYPE FORMAT", "F-Type Format", 142, 22, HollMap::None, 0, 0},
    {"FILE TYPE SRC FLV", "F-Type S-Flavor", 164, 22, HollMap::None, 0, 0},
    {"FILE TYPE DEST FLV", "F-Type D-Flavor", 186, 22, HollMap::None, 0, 0},
    {"FILE TYPE CONTENT", "F-Type Content", 208, 22, HollMap::None, 0, 0},
    {"FILE TYPE VERSION", "F-Type Version", 230, 14, HollMap::None, 0, 0},
    {"SOURCE CAGE", "Src Cage", 244, 5, HollMap::None, 0, 0},
    {"FILE NAME", "File Name", 249, 80, HollMap::None, 0, 0},
    {"FILEEXT", "Ext", 329, 3, HollMap::None, 0, 0},
    {"FILEPATH", "File Path", 332, 242, HollMap::None, 0, 0},
    {"MEDIAVOLUME", "Media Vol-ID", 574, 11, HollMap::None, 0, 0},
    {"MAJORGROUP", "Major Group", 585, 20, HollMap::None, 0, 0},
    {"MINORGROUP", "Minor Group", 605, 8, HollMap::None, 0, 0},
    {"SECURITYLEVEL", "Security", 613, 1, HollMap::Left, 60, 1},
    {"RIGHTS", "Rights", 614, 1, HollMap::Left, 56, 1},
    {"FOREIGNSECURE", "Foreign Secure", 615, 1, HollMap::None, 0, 0},
    {"NUCLEAR", "Nuclear", 616, 1, HollMap::None, 0, 0},
    {"SUBSAFE", "Subsafe", 617, 1, HollMap::None, 0, 0},
    {"AIRTYPE", "AirType", 618, 6, HollMap::None, 0, 0},
    {"APL", "APL", 624, 35, HollMap::None, 0, 0},
    {"CADINFO", "Cad Info", 659, 2, HollMap::None, 0, 0},
    {"CONTROLCODE", "Control Info", 661, 2, HollMap::Left, 57, 2},
    {"HSC", "HSC", 663, 12, HollMap::None, 0, 0},
    {"NSN", "NSN", 675, 13, HollMap::None, 0, 0},
    {"UIC", "UIC", 688, 5, HollMap::None, 0, 0},
    {"SYSTEM", "System", 693, 32, HollMap::None, 0, 0},
    {"NOMENCLATURE", "Nomenclature", 725, 20, HollMap::None, 0, 0},
    {"SHIPCLASS", "Ship Class", 745, 4, HollMap::None, 0, 0},
    {"SHIPTYPEHULLNUM", "Hull #", 749, 9, HollMap::None, 0, 0},
    {"MASTERLOCATION", "Master Loc", 758, 30, HollMap::None, 0, 0},
    {"OFFLINELOCATION", "Offline Loc", 788, 80, HollMap::None, 0, 0},
    {"PARENTCAGE", "Parent Cage", 868, 5, HollMap::None, 0, 0},
    {"PARENTDOCNUM", "Parent Dwg #", 873, 32, HollMap::None, 0, 0},
    {"PARTNUM", "Part #", 905, 32, HollMap::None, 0, 0},
    {"SUBSHEET", "Subsheet", 937, 3, HollMap::None, 0, 0},
    {"SUCCEEDING", "Succeeding", 940, 20, HollMap::None, 0, 0},
    {"DISTSTMT", "Dist Stmt", 960, 2, HollMap::Left, 67, 1},
    {"ACCKIND", "Acc-Type", 962, 2, HollMap::Left, 34, 2},
    {"ACCDOCNUM", "Acc #", 964, 32, HollMap::Left, 36, 7},
    {"ACCDOCCAGE", "Acc Cage", 996, 5, HollMap::None, 0, 0},
    {"ACCDOCREV", "Acc Rev", 1001, 2, HollMap::Left, 72, 2},
    {"ACCSHEETNUM", "Acc Sheet #", 1003, 12, HollMap::None, 0, 0},
    {"ACCFRAMENUM", "Acc Frame #", 1015, 4, HollMap::None, 0, 0},
    {"WEAPSYSCODE", "Weapon System", 1019, 15, HollMap::Left, 44, 4},
};

inline constexpr int kDocRevField = 5;
inline constexpr int kSheetRevField = 10;
inline constexpr int kAccDocRevField = 53;
inline constexpr std::size_t kAccRevHollByte = 43;

constexpr bool fieldsTile() {
  std::size_t at = kFields;
  for (const auto& f : kFieldSpecs) {
    if (f.offset != at) return false;
    at += f.width;
  }
  return at == kSeqNum;
}
static_assert(fieldsTile(), "the 56 fields must fill bytes 10-1033 without gaps");
static_assert(kEditHistory == kSeqNum + kSeqNumSize && kCarried == kEditHistory + kEditHistorySize);
static_assert(kCarried + 24 == kRecordSize);

// Bytes compared when matching records by content: tag and fields 1-19, and
// fields 23-56 (file name, extension and path are left out).
inline constexpr std::size_t kMatchFirstEnd = 249;
inline constexpr std::size_t kMatchSecondBegin = 574;

}  // namespace hv::records::jmx
