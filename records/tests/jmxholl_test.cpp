#include <cstring>
#include <dirent.h>
#include <unistd.h>
#include <string>

#include <gtest/gtest.h>

#include "records/jmxholl.h"
#include "records/tests/record_test_util.h"
#include "tests/support/temp_dir.h"

namespace hv::records {
namespace {

using hv::test::readFile;
using hv::test::TempDir;
using hv::test::writeFile;
using test::nameWithSeq;

JedmicsHollRec jmxRecord(const std::string& docnum, const std::string& seq) {
  JedmicsHollRec r;
  EXPECT_EQ(jmxholl_InitRecord(&r), 1);
  EXPECT_EQ(jmxholl_SetField(&r, 1, docnum.c_str()), 1);
  std::memcpy(r.bytes + 1034, seq.data(), 4);
  return r;
}

std::string bytesOf(const JedmicsHollRec& r) { return std::string(r.bytes, sizeof r.bytes); }

std::string fieldText(const JedmicsHollRec& r, int field) {
  char* f = jmxholl_GetField(&r, field);
  std::string s = f ? std::string(f) : "<none>";
  jmxholl_DeleteField(&f);
  EXPECT_EQ(f, nullptr);
  return s;
}

TEST(JedmicsRecordFields, TagFieldsAndRevisions) {
  JedmicsHollRec r;
  ASSERT_EQ(jmxholl_InitRecord(&r), 1);
  EXPECT_EQ(std::string(r.bytes, 10), "jmxrecid: ");
  EXPECT_TRUE(std::string(r.bytes + 10, 1062) == std::string(1062, '\0'));
  ASSERT_EQ(jmxholl_SetField(&r, 5, "A"), 1);
  EXPECT_EQ(std::string(r.bytes + 51, 2), " A");
  ASSERT_EQ(jmxholl_SetField(&r, 5, "BC"), 1);
  EXPECT_EQ(std::string(r.bytes + 51, 2), "BC");
  ASSERT_EQ(jmxholl_SetField(&r, 2, "TOOLONGCAGE"), 1);
  EXPECT_EQ(std::string(r.bytes + 42, 5), "TOOLO");
  EXPECT_EQ(fieldText(r, 2), "TOOLO");
  EXPECT_EQ(fieldText(r, 57), "<none>");
  EXPECT_EQ(fieldText(r, 0), "<none>");
  EXPECT_EQ(jmxholl_SetField(&r, 57, "x"), 0);
  char small[5];
  EXPECT_EQ(copyJmxField(2, &r, small, sizeof small), hv::Status::TooSmall);
  EXPECT_EQ(small[0], '\0');
  char fits[6];
  EXPECT_EQ(copyJmxField(2, &r, fits, sizeof fits), hv::Status::Ok);
  EXPECT_STREQ(fits, "TOOLO");
}

TEST(JedmicsRecordFields, FileInfoSplitsPathNameAndExtension) {
  JedmicsHollRec r;
  ASSERT_EQ(jmxholl_InitRecord(&r), 1);
  ASSERT_EQ(jmxholl_SetFileInfo("C:\\jobs\\12\\drawing.v2.tif", &r), 1);
  EXPECT_EQ(fieldText(r, 22), "C:\\jobs\\12");
  EXPECT_EQ(fieldText(r, 20), "drawing.v2");
  EXPECT_EQ(fieldText(r, 21), "tif");
  ASSERT_EQ(jmxholl_SetFileInfo("/srv/a/noext", &r), 1);
  EXPECT_EQ(fieldText(r, 22), "/srv/a");
  EXPECT_EQ(fieldText(r, 20), "noext");
  EXPECT_EQ(fieldText(r, 21), "");
}

TEST(JedmicsConversions, JedmicsToHollerithJustifiesRevisions) {
  JedmicsHollRec j = jmxRecord("DOC-NUMBER-THAT-IS-LONG", "0012");
  ASSERT_EQ(jmxholl_SetField(&j, 5, ""), 1);
  j.bytes[51] = 'C';  // single character followed by NUL
  ASSERT_EQ(jmxholl_SetField(&j, 53, "B7"), 1);
  ASSERT_EQ(jmxholl_SetField(&j, 49, "X"), 1);
  ASSERT_EQ(jmxholl_SetField(&j, 8, "000123456789"), 1);
  RecordHollerith h;
  ASSERT_EQ(jmxholl_JmxRecToHollRec(&j, &h), 1);
  EXPECT_EQ(std::string(h.bytes + 12, 15), "DOC-NUMBER-THAT");
  EXPECT_EQ(std::string(h.bytes + 32, 2), " C");
  EXPECT_EQ(h.bytes[43], '7');
  EXPECT_EQ(std::string(h.bytes + 72, 2), "B7");
  EXPECT_EQ(h.bytes[67], 'X');
  EXPECT_EQ(std::string(h.bytes + 61, 4), "0001");
  EXPECT_EQ(std::string(h.bytes + 78, 4), "0012");
  EXPECT_EQ(std::string(h.bytes, 10), std::string(10, ' '));
}

TEST(JedmicsConversions, HollerithToJedmicsAndFold) {
  RecordHollerith h = test::hollRecord({{12, "SHORTDOC"}, {43, "Q"}, {72, "PQ"}, {78, "0033"}});
  JedmicsHollRec j;
  ASSERT_EQ(jmxholl_HollRecToJmxRec(&h, &j), 1);
  EXPECT_EQ(std::string(j.bytes, 10), "jmxrecid: ");
  EXPECT_EQ(fieldText(j, 1), "SHORTDOC       ");  // full Hollerith width, blanks kept
  EXPECT_EQ(fieldText(j, 53), "PQ");
  EXPECT_EQ(std::string(j.bytes + 1034, 4), "0033");
  JedmicsHollRec k = jmxRecord("12345678901234567890", "0001");
  ASSERT_EQ(jmxholl_SetField(&k, 7, "TITLE"), 1);
  ASSERT_EQ(jmxholl_HollRecFoldIntoJmxRec(&h, &k), 1);
  EXPECT_EQ(fieldText(k, 1), "SHORTDOC       67890");
  EXPECT_EQ(fieldText(k, 7), "TITLE");
}

TEST(JedmicsNaming, DestinationNamesAndTypeMapping) {
  char dir[48], name[24], ext[4];
  ASSERT_EQ(jmxholl_GenerateDestName(dir, name, ext, 123456, "TIFF"), 1);
  EXPECT_STREQ(dir, "12/34/");
  EXPECT_STREQ(name, "56");
  EXPECT_STREQ(ext, "TIF");
  ASSERT_EQ(jmxholl_GenerateDestName(dir, name, ext, 7, "XXXX"), 1);
  EXPECT_STREQ(dir, "00/00/");
  EXPECT_STREQ(name, "07");
  EXPECT_STREQ(ext, "RST");
  ASSERT_EQ(jmxholl_GenerateDestName(dir, name, ext, 7, "PDF "), 1);
  EXPECT_STREQ(ext, "RTF");
  EXPECT_EQ(jmxholl_GenerateDestName(dir, name, ext, -1, "TIFF"), 0);
  char type[5] = "", format[3] = "";
  EXPECT_EQ(jmxholl_MapGRXTypeToJMXType("CAL2", type, format), 1);
  EXPECT_STREQ(type, "RSTR");
  EXPECT_STREQ(format, "27");
  EXPECT_EQ(jmxholl_MapGRXTypeToJMXType("PDF ", type, format), 1);
  EXPECT_STREQ(type, "PDF");
  EXPECT_STREQ(format, "29");
  EXPECT_EQ(jmxholl_MapGRXTypeToJMXType("    ", type, format), 0);
  EXPECT_EQ(jmxholl_MapGRXTypeToJMXType("GIF ", type, format), 0);
}

TEST(JedmicsIndexFile, WriteAppendsByteExactRecordsAndCreatesTheFile) {
  TempDir dir;
  JedmicsHollRec a = jmxRecord("A", "xxxx"), b = jmxRecord("B", "xxxx");
  ASSERT_EQ(jmxholl_WriteJmxRec(dir.path().c_str(), &a, 1), 1);
  ASSERT_EQ(jmxholl_WriteJmxRec(dir.path().c_str(), &b, 12345), 1);
  std::string file = readFile(dir.file("JMX.HOL"));
  ASSERT_EQ(file.size(), 2 * 1072u + 2);
  std::string wantA = bytesOf(a), wantB = bytesOf(b);
  wantA.replace(1034, 4, "0001");
  wantB.replace(1034, 4, "1234");
  EXPECT_TRUE(file == wantA + wantB + "\r\n");
  EXPECT_EQ(std::string(a.bytes + 1034, 4), "xxxx");  // the caller's record is untouched
}

TEST(JedmicsIndexFile, FindByLongNameTriesTheKeyPositionThenScans) {
  TempDir dir;
  JedmicsHollRec r1 = jmxRecord("ONE", "0001"), r2 = jmxRecord("TWO", "0002"), r3 = jmxRecord("THREE", "0003");
  writeFile(dir.file("jmx.hol"), bytesOf(r3) + bytesOf(r1) + bytesOf(r2) + "\r\n");
  JedmicsHollRec out;
  EXPECT_EQ(jmxholl_FindRecUsingLongName(dir.path().c_str(), nameWithSeq("0002").c_str(), &out), 2);
  EXPECT_EQ(jmxholl_FindRecUsingLongName(dir.path().c_str(), nameWithSeq("0003").c_str(), &out), 0);
  EXPECT_TRUE(bytesOf(out) == bytesOf(r3));
  EXPECT_EQ(jmxholl_FindRecUsingLongName(dir.path().c_str(), nameWithSeq("0009").c_str(), &out), -1);
  EXPECT_EQ(jmxholl_FindRecUsingLongName(dir.path().c_str(), "short", &out), -1);
}

TEST(JedmicsIndexFile, FindByContentIgnoresFileFieldsAndCaseAndTakesTheLast) {
  TempDir dir;
  JedmicsHollRec a = jmxRecord("same", "0001"), b = jmxRecord("SAME", "0002"), c = jmxRecord("other", "0003");
  ASSERT_EQ(jmxholl_SetFileInfo("/x/y.tif", &b), 1);
  writeFile(dir.file("JMX.HOL"), bytesOf(a) + bytesOf(b) + bytesOf(c) + "\r\n");
  JedmicsHollRec probe = jmxRecord("Same", "9999"), out;
  EXPECT_EQ(jmxholl_FindRecUsingHoll(dir.path().c_str(), &probe, &out), 1);
  EXPECT_TRUE(bytesOf(out) == bytesOf(b));
  EXPECT_EQ(jmxholl_FindAndDelRecBasedOnHoll(dir.path().c_str(), &probe), 2);
  EXPECT_TRUE(readFile(dir.file("JMX.HOL")) == bytesOf(a) + bytesOf(c) + "\r\n");
}

TEST(JedmicsIndexFile, ChangeAndDeleteRewriteExactlyAndTheLastRecordRemovesTheFile) {
  TempDir dir;
  JedmicsHollRec a = jmxRecord("A", "0001"), b = jmxRecord("B", "0002"), x = jmxRecord("X", "0002");
  writeFile(dir.file("JMX.HOL"), bytesOf(a) + bytesOf(b) + "\r\n");
  EXPECT_EQ(jmxholl_ChangeHollRec(&x, 1, dir.path().c_str()), 1072);
  EXPECT_EQ(jmxholl_ChangeHollRec(&x, 2, dir.path().c_str()), -1);
  EXPECT_TRUE(readFile(dir.file("JMX.HOL")) == bytesOf(a) + bytesOf(x) + "\r\n");
  int index = 7;
  EXPECT_EQ(jmxholl_FindAndDelRec(dir.path().c_str(), nameWithSeq("0001").c_str(), &index), 1);
  EXPECT_EQ(index, 0);
  EXPECT_TRUE(readFile(dir.file("JMX.HOL")) == bytesOf(x) + "\r\n");
  EXPECT_EQ(jmxholl_FindAndDelRec(dir.path().c_str(), nameWithSeq("0005").c_str(), &index), 0);
  EXPECT_EQ(index, -1);
  EXPECT_EQ(jmxholl_FindAndDelRec(dir.path().c_str(), nameWithSeq("0002").c_str(), &index), 0);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(::access(dir.file("JMX.HOL").c_str(), F_OK), -1);
}

TEST(JedmicsIndexFile, AFailedRewriteIsNeverReportedAsARemoval) {
  JedmicsHollRec a = jmxRecord("A", "0001"), b = jmxRecord("B", "0002");
  const std::string before = bytesOf(a) + bytesOf(b) + "\r\n";
  // CreateTemp, Write, SetMode, SyncFile, CloseFile and Rename can fail.
  for (int at = 0; at < 6; ++at) {
    SCOPED_TRACE("step " + std::to_string(at));
    TempDir dir;
    writeFile(dir.file("JMX.HOL"), before);
    test::FaultPlan plan;
    plan.failAt = at;
    int seq = 0;
    {
      test::FaultScope scope(&plan);
      seq = jmxholl_FindAndDelRecBasedOnHoll(dir.path().c_str(), &b);
    }
    EXPECT_EQ(seq, -1);
    EXPECT_TRUE(readFile(dir.file("JMX.HOL")) == before);
    test::FaultPlan again;
    again.failAt = at;
    int index = 0;
    {
      test::FaultScope scope(&again);
      EXPECT_EQ(jmxholl_FindAndDelRec(dir.path().c_str(), nameWithSeq("0001").c_str(), &index), 0);
    }
    EXPECT_EQ(index, -1);
    EXPECT_TRUE(readFile(dir.file("JMX.HOL")) == before);
  }
}

}  // namespace
}  // namespace hv::records
