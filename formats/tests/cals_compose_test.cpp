// CALS header composition: defaults, user data lines, source headers of each
// kind, and the card mappings.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "formats/cals1_header.h"
#include "formats/cals1_layout.h"
#include "formats/cals_compose.h"
#include "tests/support/temp_dir.h"

namespace hv::formats::cals {
namespace {

std::string rec(const char* block, int i) { return recordText(block, i); }

std::string record(std::string text, std::size_t size = kRecordBytes) {
  text.resize(size, ' ');
  return text;
}

std::string formBHeader(const std::string& srcdocidValue) {
  return record("specversion: MIL-R-28002C") + record("srcdocid:" + srcdocidValue) + record("dstdocid: DST-B") +
         record("dtype: 1") + record("rorient: 000,270") + record("rpelcnt: 001700,001100") +
         record("rdensty: 0200") + record("doccls: CLS-B") + record("notes: long notes", 1024);
}

TEST(ComposeHeader, DefaultsAreRecognisableRecordsOfTheAskedForm) {
  char a[kBlockBytes], b[kBlockBytes];
  composeHeader(a, false, "", {});
  composeHeader(b, true, "", {});
  EXPECT_EQ(rec(a, 0), "srcdocid: NONE");
  EXPECT_EQ(rec(a, 5), "doccls: NONE");
  EXPECT_EQ(rec(a, 10), "notes: NONE");
  EXPECT_FALSE(isFormB(a));
  EXPECT_EQ(rec(b, 0), "specversion: NONE");
  EXPECT_EQ(rec(b, 1), "srcdocid: NONE");
  EXPECT_EQ(rec(b, 8), "notes: NONE");
  EXPECT_TRUE(isFormB(b));
  setRasterRecords(b, 0, 3, 10, 20, 200, 1);
  EXPECT_EQ(rec(b, 3), "dtype: 1");
  EXPECT_EQ(rec(b, 5), "rpelcnt: 000010,000020");
}

TEST(ComposeHeader, UserDataLinesFillTheirRecords) {
  const std::string user =
      "srcdocid: DWG 12345\r\n"
      "  doccls: after spaces\n"
      "xdstdocid: not at a word start\n"
      "notes:\n"
      "figid:F-1 trailing\n"
      "notes: " + std::string(900, 'n') + "\n";
  char a[kBlockBytes];
  composeHeader(a, false, user, {});
  EXPECT_EQ(rec(a, 0), "srcdocid: DWG 12345");
  EXPECT_EQ(rec(a, 5), "doccls: after spaces");
  EXPECT_EQ(rec(a, 1), "dstdocid: NONE");
  EXPECT_EQ(rec(a, 3), "figid: F-1 trailing");
  // The later notes line wins; a line is taken up to 511 characters, more
  // than one record, within the 768 bytes of the notes span.
  EXPECT_EQ(std::string(a + 1280, 7), "notes: ");
  EXPECT_EQ(a[1280 + 510], 'n');
  EXPECT_EQ(a[1280 + 511], ' ');
}

TEST(ComposeHeader, Source1840BIntoAnAHeader) {
  const std::string value = " " + std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcdefghijklm") + "PQ?RST" + "U V";
  SourceHeader src = calsSource(formBHeader(value));
  ASSERT_EQ(src.kind, SourceKind::k1840B);
  char a[kBlockBytes];
  composeHeader(a, false, "dstdocid: from user\n", src);
  EXPECT_EQ(rec(a, 1), "dstdocid: DST-B");
  EXPECT_EQ(rec(a, 5), "doccls: CLS-B");
  EXPECT_EQ(rec(a, 10), "notes: long notes");
  std::string card = cardFromSrcDocId(value);
  EXPECT_EQ(std::string(a + 9, 80), card);
}

TEST(ComposeHeader, Source1840AReplacesAnAHeaderWholeAndMapsIntoB) {
  std::string card(80, ' ');
  for (int i = 0; i < 80; ++i) card[i] = static_cast<char>('0' + i % 43);
  card[50] = 'X';
  std::string header = record("srcdocid: " + card) + record("dstdocid: DST-A") + record("txtfilid: T") +
                       record("figid: F") + record("srcgph: G") + record("doccls: CLS-A") + std::string(1280, ' ');
  SourceHeader src = calsSource(header);
  ASSERT_EQ(src.kind, SourceKind::k1840A);
  char a[kBlockBytes];
  composeHeader(a, false, "", src);
  EXPECT_EQ(std::string(a, kHeaderBytes), header);
  char b[kBlockBytes];
  composeHeader(b, true, "specversion: USER\nnotes: user notes\n", src);
  EXPECT_EQ(rec(b, 0), "specversion: USER");  // the source has none
  EXPECT_EQ(rec(b, 2), "dstdocid: DST-A");
  EXPECT_EQ(rec(b, 7), "doccls: CLS-A");
  EXPECT_EQ(rec(b, 8), "notes: user notes");
  // The value after the colon, its leading space included, is mapped.
  std::string value = srcDocIdFromCard(" " + card);
  EXPECT_EQ(std::string(b + 128, 9), "srcdocid:");
  EXPECT_EQ(std::string(b + 137, value.size()), value);
}

TEST(CardMapping, ColumnsMoveAsLaidOut) {
  std::string v(60, '.');
  for (int i = 0; i < 60; ++i) v[i] = static_cast<char>('A' + i % 26);
  std::string c = cardFromSrcDocId(v);
  EXPECT_EQ(c.substr(0, 49), v.substr(0, 49));
  EXPECT_EQ(c[49], v[55]);
  EXPECT_EQ(c.substr(50, 2), v.substr(49, 2));
  EXPECT_EQ(c.substr(52, 24), std::string(24, ' '));
  EXPECT_EQ(c[76], v[57]);
  EXPECT_EQ(c.substr(77, 3), v.substr(52, 3));
  v[55] = ' ';
  EXPECT_EQ(cardFromSrcDocId(v)[49], v[56]);
  // A short value gives spaces, never bytes beyond it.
  EXPECT_EQ(cardFromSrcDocId("AB"), "AB" + std::string(78, ' '));
}

TEST(CardMapping, ACardSurvivesATripThrough1840B) {
  std::string card(80, ' ');
  for (int i = 0; i < 80; ++i) card[i] = static_cast<char>('!' + i);
  card[50] = 'N';
  std::string back = cardFromSrcDocId(srcDocIdFromCard(card));
  for (int c = 0; c < 80; ++c) {
    if (c >= 52 && c <= 75) EXPECT_EQ(back[c], ' ') << c;
    else EXPECT_EQ(back[c], card[c]) << c;
  }
  EXPECT_EQ(srcDocIdFromCard(card).substr(0, 22), card.substr(0, 22));
  card[50] = 'T';
  EXPECT_EQ(srcDocIdFromCard(card), card);
}

TEST(ComposeCard, UserDataThenSources) {
  EXPECT_EQ(composeCard("SRCDOCID:  CARD ONE\nsrcdocid: two\n", {}), "CARD ONE" + std::string(72, ' '));
  SourceHeader c4 = edmicsSource(std::string("C4CARD\x01", 7));
  EXPECT_EQ(composeCard("srcdocid: user", c4), "C4CARD" + std::string(74, ' '));
  SourceHeader b = calsSource(formBHeader(" 0123456789"));
  EXPECT_EQ(composeCard("srcdocid: user", b), "0123456789" + std::string(70, ' '));
}

TEST(UserData, PathComesFromThePreferencesSection) {
  test::TempDir dir;
  test::writeFile(dir.file("user.txt"), "notes: hello\n");
  test::writeFile(dir.file("viewer.ini"), "[Preferences]\n1840ARasterUserDataFile=" + dir.file("user.txt") + "\n");
  EXPECT_EQ(readUserData(dir.file("viewer.ini"), kKey1840A), "notes: hello\n");
  EXPECT_EQ(readUserData(dir.file("viewer.ini"), kKey1840B), "");
  EXPECT_EQ(readUserData(dir.file("missing.ini"), kKey1840A), "");
}

}  // namespace
}  // namespace hv::formats::cals
