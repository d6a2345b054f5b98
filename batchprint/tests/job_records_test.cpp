// The print server's records, byte by byte, against a translation that is
// not ours (Python's cp037 codec or iconv), and the widths the server
// parses them at.
#include <cstring>

#include <gtest/gtest.h>

#include "batchprint/ebcdic.h"
#include "batchprint/job_files.h"
#include "batchprint/job_records.h"
#include "batchprint/net_host.h"
#include "batchprint/tests/batchprint_test_util.h"
#include "tests/support/temp_dir.h"

namespace hv::batchprint {
namespace {

using test::oracleEbcdic;

std::tm at(int year, int mon, int day, int h, int m, int s) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = mon - 1;
  t.tm_mday = day;
  t.tm_hour = h;
  t.tm_min = m;
  t.tm_sec = s;
  return t;
}

std::uint32_t addr(unsigned a, unsigned b, unsigned c, unsigned d) { return (a << 24) | (b << 16) | (c << 8) | d; }

TEST(EbcdicTable, EveryAsciiByteMatchesTheReferenceTranslation) {
  std::string all;
  for (int c = 0; c < 0x80; ++c) all.push_back(static_cast<char>(c));
  std::string why;
  const std::string expected = oracleEbcdic(all, &why);
  if (expected.empty()) GTEST_SKIP() << why;
  ASSERT_EQ(expected.size(), 128u);
  const std::string ours = toEbcdic(all);
  for (int c = 0; c < 0x80; ++c)
    EXPECT_EQ(static_cast<unsigned char>(ours[c]), static_cast<unsigned char>(expected[c])) << "ASCII 0x" << std::hex << c;
}

TEST(EbcdicTable, BytesAboveAsciiBecomeTheUnknownCharacter) {
  for (int c = 0x80; c < 0x100; ++c) EXPECT_EQ(toEbcdic(static_cast<unsigned char>(c)), 0x6F);
}

TEST(JobHeader, IsTheReferenceTranslationOfItsFields) {
  hv::test::TempDir dir;
  const std::string path = dir.file("14050900.HDR");
  ASSERT_TRUE(writeJobHeaderAt(path, "tessera", addr(192, 168, 40, 17), addr(10, 1, 2, 3), "Sheet-Set|A",
                               at(2026, 3, 9, 14, 5, 9)));
  const std::string ascii =
      "tessera :Sheet-Set|A :192.168.40.17  :10.1.2.3       :260309:140509:260309:140509:";
  ASSERT_EQ(ascii.size(), 82u);
  std::string why;
  const std::string expected = oracleEbcdic(ascii, &why);
  if (expected.empty()) GTEST_SKIP() << why;
  EXPECT_EQ(hv::test::readFile(path), expected);
}

TEST(JobHeader, LongFieldsAreCutSoTheHeaderStays82Bytes) {
  const std::string text = headerText("workstat", "A data list name far longer than twelve", addr(255, 255, 255, 255),
                                      addr(10, 1, 2, 3), at(1999, 12, 31, 23, 59, 58));
  ASSERT_EQ(text.size(), kHeaderSize);
  EXPECT_EQ(text.substr(0, 9), "workstat:");
  EXPECT_EQ(text.substr(9, 13), "A data list :");
  EXPECT_EQ(text.substr(22, 16), "255.255.255.255:");
  // 10.1.2.3 fills 8 bytes of its 15-byte field, then 7 blanks.
  EXPECT_EQ(text.substr(38, 16), "10.1.2.3       :");
  EXPECT_EQ(text.substr(54), "991231:235958:991231:235958:");
}

TEST(JobHostName, IsCutAtThePointAndTo8Characters) {
  EXPECT_EQ(jobHostName("drafting-station"), "drafting");
  EXPECT_EQ(jobHostName("cad7.example.org"), "cad7");
  EXPECT_EQ(jobHostName("plotterroom.example.org"), "plotterr");
  EXPECT_EQ(jobHostName("abcdefg.h"), "abcdefg");
  EXPECT_EQ(jobHostName(""), "");
}

TEST(ImageRecord, IsTheReferenceTranslationPaddedWithEbcdicBlanks) {
  hv::test::TempDir dir;
  const std::string image = dir.file("drawing.tif");
  const std::string body("II*\0\x08\0\0\0\xff\x00\x80\r\n", 13);
  hv::test::writeFile(image, body);
  const std::string job = dir.file("14050900.002");
  ASSERT_TRUE(WriteJobImage(2, "tessera", image, job, 3, 1, "E", "Sheet-Set"));
  std::string ascii = "03:1:E:tessera  Sheet-Set 0002::";
  ascii.resize(80, ' ');
  std::string why;
  const std::string expected = oracleEbcdic(ascii, &why);
  if (expected.empty()) GTEST_SKIP() << why;
  const std::string bytes = hv::test::readFile(job);
  ASSERT_EQ(bytes.size(), 80 + body.size());
  EXPECT_EQ(bytes.substr(0, 80), expected);
  EXPECT_EQ(bytes.substr(48, 32), std::string(32, '\x40'));
  EXPECT_EQ(bytes.substr(80), body);
}

TEST(ImageRecord, LongFieldsAreCutSoTheRecordStays80Bytes) {
  ImageRecordFields f;
  f.copies = 4000000000u;
  f.plotter = 4000000000u;
  f.size = std::string(200, 'S');
  f.hostName = "a-host-name-longer-than-eight";
  f.listName = "A data list name far longer than twelve";
  f.sequence = 123456;
  const std::string text = imageRecordText(f);
  ASSERT_EQ(text.size(), kImageRecordSize);
  // The numbers, the host field, the cut list name and the closing colons stay whole.
  EXPECT_EQ(text.substr(0, 22), "4000000000:4000000000:");
  EXPECT_NE(text.find(":a-host-n A data list  123456::"), std::string::npos) << text;
  EXPECT_EQ(text.substr(78), "::");

  // A list name that fits is kept whole; one that does not gives way first.
  f.size = "D";
  f.listName = "Night shift drawings of the east wing";
  f.sequence = 7;
  EXPECT_EQ(imageRecordText(f).substr(0, 80),
            "4000000000:4000000000:D:a-host-n Night shift drawings of the east wing 0007::   ");
  f.listName += " and more";
  EXPECT_EQ(imageRecordText(f), "4000000000:4000000000:D:a-host-n Night shift drawings of the east wing an 0007::");
}

TEST(Trailer, OfThreeImagesIsTheEbcdicOfEightDigits) {
  hv::test::TempDir dir;
  ASSERT_TRUE(WriteJobTrailer(dir.file("14050900.TLR"), 3));
  std::string why;
  const std::string expected = oracleEbcdic(std::string("00000003"), &why);
  if (expected.empty()) GTEST_SKIP() << why;
  EXPECT_EQ(hv::test::readFile(dir.file("14050900.TLR")), expected);
  EXPECT_EQ(expected, std::string("\xF0\xF0\xF0\xF0\xF0\xF0\xF0\xF3"));
}

TEST(Address, FormatsAndReadsBack) {
  EXPECT_EQ(FormatAddress(addr(10, 1, 2, 3)), "10.1.2.3");
  char buf[16];
  EXPECT_STREQ(FormatAddress(addr(255, 0, 128, 1), buf), "255.0.128.1");
  EXPECT_EQ(ParseAddress("10.1.2.3"), addr(10, 1, 2, 3));
  EXPECT_EQ(ParseAddress("10.1"), addr(10, 1, 0, 0));
  EXPECT_EQ(ParseAddress(" 192.168.0.9 "), addr(192, 168, 0, 9));
  EXPECT_FALSE(ParseAddress(""));
  EXPECT_FALSE(ParseAddress("256.1.1.1"));
  EXPECT_FALSE(ParseAddress("10.1.2.3.4"));
  EXPECT_FALSE(ParseAddress("plotserver"));
  EXPECT_FALSE(ParseAddress("10..2.3"));
}

TEST(LocalHost, NameIsCutToTheBufferAndTerminated) {
  char big[256];
  const int n = NetApi_GetHostName(big, sizeof big);
  ASSERT_GT(n, 0);
  char small[9];
  std::memset(small, 'x', sizeof small);
  const int m = NetApi_GetHostName(small, sizeof small);
  EXPECT_EQ(m, std::min(n, 8));
  EXPECT_EQ(std::string(small), std::string(big).substr(0, 8));
  EXPECT_EQ(NetApi_GetHostName(small, 0), 0);
}

}  // namespace
}  // namespace hv::batchprint
