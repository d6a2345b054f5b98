#pragma once
// Byte layout of the 100-byte Hollerith card record kept in INDEX.HOL:
// fixed-width, blank-padded ASCII fields, no separators, no terminator.
#include <cstddef>

namespace hv::records::holl {

struct Field {
  std::size_t offset;
  std::size_t width;
  constexpr std::size_t end() const { return offset + width; }
};

inline constexpr std::size_t kRecordSize = 100;

inline constexpr Field kTag{0, 10};  // "srcdocid: " from the producers of INDEX.HOL
inline constexpr Field kDocType{10, 2};
inline constexpr Field kDocNum{12, 15};
inline constexpr Field kFscm{27, 5};
inline constexpr Field kBaseRev{32, 2};  // one character stored right-justified
inline constexpr Field kAccKind{34, 2};
inline constexpr Field kAccNum{36, 7};  // left-justified
inline constexpr Field kAccRev{43, 1};  // last character of kAccRevLong
inline constexpr Field kWeaponSystem{44, 4};
inline constexpr Field kCardNum{48, 4};
inline constexpr Field kTotalCards{52, 4};
inline constexpr Field kRights{56, 1};
inline constexpr Field kControlActivity{57, 2};
inline constexpr Field kFormatCode{59, 1};
inline constexpr Field kSecurityClass{60, 1};
inline constexpr Field kSheetNum{61, 4};
inline constexpr Field kScanSize{65, 2};
inline constexpr Field kDistStat{67, 1};
inline constexpr Field kDataControl{68, 1};
inline constexpr Field kTotalSheets{69, 3};
inline constexpr Field kAccRevLong{72, 2};  // one character stored right-justified
inline constexpr Field kNonKey{74, 3};
inline constexpr Field kId{77, 1};
inline constexpr Field kSeqNum{78, 4};        // the record's key
inline constexpr Field kEditHistory{82, 10};  // first byte is the BIP flag
inline constexpr Field kCarried{92, 8};       // not interpreted
inline constexpr std::size_t kBipCompanion = 97;  // blanked whenever the BIP flag is written

static_assert(kDocType.offset == kTag.end() && kDocNum.offset == kDocType.end() &&
              kFscm.offset == kDocNum.end() && kBaseRev.offset == kFscm.end() &&
              kAccKind.offset == kBaseRev.end() && kAccNum.offset == kAccKind.end() &&
              kAccRev.offset == kAccNum.end() && kWeaponSystem.offset == kAccRev.end() &&
              kCardNum.offset == kWeaponSystem.end() && kTotalCards.offset == kCardNum.end() &&
              kRights.offset == kTotalCards.end() && kControlActivity.offset == kRights.end() &&
              kFormatCode.offset == kControlActivity.end() && kSecurityClass.offset == kFormatCode.end() &&
              kSheetNum.offset == kSecurityClass.end() && kScanSize.offset == kSheetNum.end() &&
              kDistStat.offset == kScanSize.end() && kDataControl.offset == kDistStat.end() &&
              kTotalSheets.offset == kDataControl.end() && kAccRevLong.offset == kTotalSheets.end() &&
              kNonKey.offset == kAccRevLong.end() && kId.offset == kNonKey.end() &&
              kSeqNum.offset == kId.end() && kEditHistory.offset == kSeqNum.end() &&
              kCarried.offset == kEditHistory.end() && kCarried.end() == kRecordSize,
              "Hollerith fields must tile the 100-byte record");

// Character positions of the 64-character long name built from a record.
inline constexpr std::size_t kLongNameLength = 64;
inline constexpr Field kNameDocNum{0, 15};
inline constexpr Field kNameFscm{17, 5};
inline constexpr Field kNameDocType{24, 2};
inline constexpr Field kNameSheet{28, 4};
inline constexpr Field kNameCard{35, 4};
inline constexpr Field kNameRev{42, 2};
inline constexpr Field kNameAccKind{48, 2};
inline constexpr Field kNameAccNum{53, 7};
inline constexpr Field kNameSeq{60, 4};
static_assert(kNameSeq.end() == kLongNameLength);

// Captions of the named fields, in record order, for listings.
struct NamedField {
  const char* caption;
  Field field;
};
inline constexpr NamedField kNamedFields[] = {
    {"Doc Type", kDocType},
    {"Doc Num", kDocNum},
    {"FSCM", kFscm},
    {"BasRev", kBaseRev},
    {"Acc Kind", kAccKind},
    {"Acc Num", kAccNum},
    {"Acc Rev", kAccRev},
    {"Weapon System Code", kWeaponSystem},
    {"Card #", kCardNum},
    {"Total Cards", kTotalCards},
    {"Rights", kRights},
    {"Control Activity", kControlActivity},
    {"Format Code", kFormatCode},
    {"Security Class", kSecurityClass},
    {"Sheet #", kSheetNum},
    {"Scan Size", kScanSize},
    {"Dist Stat Code", kDistStat},
    {"Data Control Code", kDataControl},
    {"Total Sheets", kTotalSheets},
    {"Non Key", kNonKey},
    {"ID", kId},
    {"Seq#", kSeqNum},
    {"BIP", {82, 1}},
};

}  // namespace hv::records::holl
