#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "records/hollrec.h"
#include "records/tests/record_test_util.h"

namespace hv::records {
namespace {

using test::bytesOf;
using test::hollRecord;

std::string longNameOf(RecordHollerith& r, int* result = nullptr) {
  char out[65];
  int ok = hollrec_XlateRecToLongName(&r, out);
  if (result) *result = ok;
  return out;
}

RecordHollerith sample() {
  return hollRecord({{0, "srcdocid: "},
                     {10, "DW"},
                     {12, "1234567-89     "},
                     {27, "12345"},
                     {32, "A "},
                     {44, "WSC1"},
                     {48, "0001"},
                     {52, "0002"},
                     {61, "0003"},
                     {78, "0042"},
                     {82, "B1R02M03HZ"}});
}

TEST(HollerithLongName, IsBuiltFieldByFieldWithUnderscores) {
  RecordHollerith r = sample();
  int ok = 0;
  std::string name = longNameOf(r, &ok);
  EXPECT_EQ(ok, 1);
  EXPECT_EQ(name, "1234567-89_______12345__DW__0003___0001____A________________0042");
  ASSERT_EQ(name.size(), 64u);
  // The one-letter base revision was right-justified in the record.
  EXPECT_EQ(std::string(r.bytes + 32, 2), " A");
}

TEST(HollerithLongName, AccDocumentSuppliesRevisionKindAndLeftJustifiedNumber) {
  RecordHollerith r = sample();
  std::memcpy(r.bytes + 34, "EO  12345X", 10);  // kind, number behind blanks, Acc Rev
  std::memcpy(r.bytes + 72, "X ", 2);
  std::string name = longNameOf(r);
  EXPECT_EQ(name.substr(42, 2), "_X");
  EXPECT_EQ(name.substr(48, 2), "EO");
  EXPECT_EQ(name.substr(53, 7), "12345__");
  EXPECT_EQ(std::string(r.bytes + 36, 7), "12345  ");
  EXPECT_EQ(std::string(r.bytes + 72, 2), " X");
}

TEST(HollerithLongName, OneNonBlankAccByteCountsAsAnAccDocument) {
  RecordHollerith r = sample();
  r.bytes[35] = 'K';
  r.bytes[43] = 'C';
  std::string name = longNameOf(r);
  EXPECT_EQ(name.substr(42, 2), "_C");
  EXPECT_EQ(name.substr(48, 2), "_K");
}

TEST(HollerithLongName, FileNameUnsafeCharactersBecomeUnderscoresAndComeBackBlank) {
  RecordHollerith r = sample();
  std::memcpy(r.bytes + 12, "A.B/C\\D*E      ", 15);
  std::string name = longNameOf(r);
  EXPECT_EQ(name.substr(0, 15), "A_B_C_D_E______");
  EXPECT_EQ(name.find_first_of(" ./\\*"), std::string::npos);
  RecordHollerith back;
  ASSERT_EQ(hollrec_XlateLongNameToRec(name.c_str(), &back), 1);
  EXPECT_EQ(std::string(back.bytes + 12, 15), "A B C D E      ");
}

TEST(HollerithLongName, ANulByteInAFieldGivesAShortNameAndZero) {
  RecordHollerith r = sample();
  r.bytes[20] = '\0';
  int ok = 1;
  std::string name = longNameOf(r, &ok);
  EXPECT_EQ(ok, 0);
  EXPECT_EQ(name, "1234567-");
  char out[65] = "untouched";
  EXPECT_EQ(hollrec_XlateRecToLongName(&r, nullptr), 0);
  EXPECT_EQ(hollrec_XlateRecToLongName(nullptr, out), 0);
}

TEST(HollerithLongName, RoundTripKeepsTheNameFieldsAndBlanksTheRest) {
  RecordHollerith r = sample();
  std::string name = longNameOf(r);
  RecordHollerith back;
  ASSERT_EQ(hollrec_XlateLongNameToRec(name.c_str(), &back), 1);
  RecordHollerith want = hollRecord(
      {{10, "DW"}, {12, "1234567-89"}, {27, "12345"}, {32, " A"}, {48, "0001"}, {61, "0003"}, {78, "0042"}});
  EXPECT_EQ(bytesOf(back), bytesOf(want));
  char again[65];
  ASSERT_EQ(hollrec_XlateRecToLongName(&back, again), 1);
  EXPECT_EQ(std::string(again), name);
}

TEST(HollerithLongName, AccNameRestoresBothRevisionForms) {
  std::string name = std::string(42, '_') + "_C____EO___12345__0007";
  ASSERT_EQ(name.size(), 64u);
  RecordHollerith r;
  ASSERT_EQ(hollrec_XlateLongNameToRec(name.c_str(), &r), 1);
  EXPECT_EQ(std::string(r.bytes + 32, 2), "  ");
  EXPECT_EQ(r.bytes[43], 'C');
  EXPECT_EQ(std::string(r.bytes + 72, 2), " C");
  EXPECT_EQ(std::string(r.bytes + 34, 2), "EO");
  EXPECT_EQ(std::string(r.bytes + 36, 7), "12345  ");
}

TEST(HollerithLongName, ASheetFieldStartingWithUnderscoreGetsALeadingZero) {
  std::string name(64, '_');
  name.replace(28, 4, "__12");
  RecordHollerith r;
  ASSERT_EQ(hollrec_XlateLongNameToRec(name.c_str(), &r), 1);
  EXPECT_EQ(std::string(r.bytes + 61, 4), "0 12");
  name.replace(28, 4, "_123");
  ASSERT_EQ(hollrec_XlateLongNameToRec(name.c_str(), &r), 1);
  EXPECT_EQ(std::string(r.bytes + 61, 4), "0123");
}

TEST(HollerithLongName, ShortOrMissingNamesAreRefused) {
  RecordHollerith r;
  EXPECT_EQ(hollrec_XlateLongNameToRec("short", &r), 0);
  EXPECT_EQ(hollrec_XlateLongNameToRec(nullptr, &r), 0);
  EXPECT_EQ(hollrec_XlateLongNameToRec(std::string(64, 'a').c_str(), nullptr), 0);
}

TEST(HollerithLongName, EveryRecordWithoutNulGivesSixtyFourCharactersWithoutBlanks) {
  unsigned seed = 12345;
  for (int n = 0; n < 2000; ++n) {
    RecordHollerith r;
    for (char& c : r.bytes) {
      seed = seed * 1103515245u + 12345u;
      c = static_cast<char>(1 + (seed >> 16) % 255);
    }
    char out[65];
    ASSERT_EQ(hollrec_XlateRecToLongName(&r, out), 1);
    std::string name = out;
    ASSERT_EQ(name.size(), 64u);
    EXPECT_EQ(name.find_first_of(" ./\\*"), std::string::npos);
  }
}

}  // namespace
}  // namespace hv::records
