#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
#include <vector>

#include "formats/ber.h"
#include "formats/ber_walker.h"
#include "formats/cals2_read.h"
#include "formats/file_manager.h"
#include "formats/fm_messages.h"
#include "formats/format_tables.h"
#include "formats/strip_reader.h"
#include "formats/tag_tables.h"
#include "platform/file_io.h"
#include "tests/support/oda_builder.h"
#include "tests/support/temp_dir.h"

namespace hv::formats {
namespace {

using hv::test::OdaSpec;
using hv::test::OdaTile;

class Cals2 : public ::testing::Test {
 protected:
  void SetUp() override {
    setTagTableDirectory(std::string(HV_SOURCE_DIR) + "/share/");
    ASSERT_EQ(imfLoadFileFilter(kFilterCals2), kFilterCals2);
  }
  ImageFileRecord* open(const std::string& bytes, const char* name = "t.cal") {
    path_ = dir_.file(name);
    hv::test::writeFile(path_, bytes);
    return boundFilter(kFilterCals2)->open(nullptr, path_.c_str(), kOpenRead, 0);
  }
  hv::test::TempDir dir_;
  std::string path_;
};

// The bytes the tile reader delivers for the tile holding (x, y).
std::string tileBytes(ImageFileRecord* r, std::int32_t x, std::int32_t y, int* code = nullptr) {
  const FilterProcs* f = boundFilter(r->filter);
  std::vector<std::uint8_t> storage(1000);
  CodeBuffer buf{storage.data(), 0, static_cast<std::uint32_t>(storage.size())};
  CodeInfo info;
  int compression = -1;
  SeekResult where;
  f->seek(r, SeekRequest{x, y}, &buf, &info, &compression, nullptr, 0, &where);
  std::string out;
  while (f->getCodeBuf(r, &buf, &info, &compression) == hv::Status::Ok) {
    out.append(reinterpret_cast<char*>(buf.data), buf.count);
    if (code) *code = compression;
  }
  return out;
}

std::string reversed(std::string s) {
  reverseBits(reinterpret_cast<std::uint8_t*>(s.data()), static_cast<std::uint32_t>(s.size()));
  return s;
}

OdaSpec fourTiles() {
  OdaSpec s;
  s.width = 1000;
  s.height = 700;
  s.tiles = {{2, "\x12\x34\x56"}, {0, ""}, {1, ""}, {5, std::string(64 * 512, '\x0F')}};
  s.title = "Sheet 3 of 7";
  s.date = "19960412103000";
  s.author = "R. Vane";
  s.organization = "Drafting";
  return s;
}

TEST(TagTables, ParsesEntriesContextsAndApplicationReferences) {
  TagTables t;
  ASSERT_EQ(parseTagTables("Integer,0,0,0,2,0,0,0\n", "Ref,0,0,1,7,0,0,22\n",
                             "# comment\nTop,1\nA VeryLongNameOfMoreThan25Characters,0,0,2,3,0,2,0\nB,1,0\n\nInner,2;\n"
                             "X,0,0,2,31\n",
                             t), Status::Ok);
  ASSERT_EQ(t.contexts.size(), 2u);
  const TagTable* top = t.context(1);
  ASSERT_NE(top, nullptr);
  ASSERT_EQ(top->entries.size(), 2u);
  EXPECT_EQ(top->entries[0].name.size(), kTagNameChars);
  EXPECT_EQ(top->entries[0].context, 2);
  EXPECT_EQ(t.resolve(top->entries[1]).action, 22);  // kind 1 stands for application entry 0
  EXPECT_EQ(t.resolve(top->entries[1]).number, 7u);
  ASSERT_NE(t.context(2), nullptr);
  EXPECT_EQ(t.context(2)->entries[0].number, 31u);  // missing fields count as 0
  EXPECT_EQ(t.context(2)->entries[0].action, 0);
  EXPECT_EQ(t.context(3), nullptr);
}

TEST(TagTables, HundredContextsOverflow) {
  std::string con;
  for (int i = 1; i <= 99; ++i) con += "C," + std::to_string(i) + "\nE,0,0,2,0\n\n";
  TagTables t;
  EXPECT_EQ(parseTagTables("", "", con, t), Status::Ok);
  EXPECT_EQ(t.contexts.size(), 99u);
  con += "C,100\nE,0,0,2,0\n";
  EXPECT_EQ(parseTagTables("", "", con, t), Status::TooSmall);
  EXPECT_EQ(lastMessage(), messageText(kMsgContextOverflow));
}

TEST(TagTables, LoadedOnceAndRetriedAfterAFailure) {
  hv::test::TempDir d;
  setTagTableDirectory(d.path());
  EXPECT_EQ(loadTagTables(), Status::ReadFailed);
  EXPECT_EQ(lastMessage(), "Unable to open " + d.file("univtags.txt") + "\n");
  hv::test::writeFile(d.file("univtags.txt"), "Integer,0,0,0,2\n");
  hv::test::writeFile(d.file("apptags.txt"), "");
  hv::test::writeFile(d.file("contags.txt"), "Top,1\nX,0,0,2,0,0,0,5\n");
  EXPECT_EQ(loadTagTables(), Status::Ok);
  ::unlink(d.file("contags.txt").c_str());
  EXPECT_EQ(loadTagTables(), Status::Ok);  // not read again
  EXPECT_EQ(tagTables()->context(1)->entries[0].action, 5);
  setTagTableDirectory(std::string(HV_SOURCE_DIR) + "/share/");
}

TEST(Ber, HeadersAndIntegers) {
  hv::test::TempDir d;
  std::string bytes = ber::header(2, true, 200, 300) + std::string("\x02\x81\x01\xFF", 4) + std::string("\x1F\x81", 2);
  hv::test::writeFile(d.file("b"), bytes);
  int fd = platform::openFile(d.file("b").c_str(), O_RDONLY);
  ber::Source src(fd, 0, static_cast<std::int64_t>(bytes.size()));
  ber::Header h;
  ASSERT_EQ(ber::readHeader(src, 0, src.end(), h), Status::Ok);
  EXPECT_EQ(h.cls, 2);
  EXPECT_TRUE(h.constructed);
  EXPECT_EQ(h.number, 200u);
  EXPECT_EQ(h.length, 300u);
  std::int64_t at = h.headerBytes;
  ASSERT_EQ(ber::readHeader(src, at, src.end(), h), Status::Ok);
  EXPECT_EQ(h.length, 1u);
  const std::uint8_t v[9] = {0xFF, 0, 0, 0, 0, 0, 0, 0, 0};
  const Result<std::int64_t> value = ber::integerValue(v, 1);
  ASSERT_TRUE(value.ok());
  EXPECT_EQ(value.value(), -1);
  EXPECT_EQ(ber::integerValue(v, 0).status(), Status::CodingError);
  EXPECT_EQ(ber::integerValue(v, 9).status(), Status::CodingError);
  // A tag number cut off by the end of the file, and the end itself.
  EXPECT_EQ(ber::readHeader(src, at + 4, src.end(), h), Status::DataEnded);
  EXPECT_EQ(ber::readHeader(src, src.end(), src.end(), h), Status::DataEnded);
  platform::closeFile(fd);
  // Malformed headers: the reserved length octet, nine length octets and a
  // tag number of more than four octets.
  const std::string bad = std::string("\x04\xFF\x00", 3) + std::string("\x04\x89", 2) + std::string(9, '\x01') +
                          std::string("\x1F\x81\x81\x81\x81\x01\x00", 7);
  hv::test::writeFile(d.file("bad"), bad);
  fd = platform::openFile(d.file("bad").c_str(), O_RDONLY);
  ber::Source badSrc(fd, 0, static_cast<std::int64_t>(bad.size()));
  EXPECT_EQ(ber::readHeader(badSrc, 0, badSrc.end(), h), Status::CodingError);
  EXPECT_EQ(ber::readHeader(badSrc, 3, badSrc.end(), h), Status::CodingError);
  EXPECT_EQ(ber::readHeader(badSrc, 14, badSrc.end(), h), Status::CodingError);
  platform::closeFile(fd);
  EXPECT_EQ(ber::integerContents(128), std::string("\x00\x80", 2));
  EXPECT_EQ(ber::integerContents(-129), std::string("\xFF\x7F", 2));
}

TEST_F(Cals2, TiledWithTypesAndList) {
  OdaSpec s = fourTiles();
  ImageFileRecord* r = open(hv::test::buildCals2(s));
  ASSERT_NE(r, nullptr) << lastMessage();
  EXPECT_EQ(r->width, 1000u);
  EXPECT_EQ(r->height, 700u);
  EXPECT_EQ(r->xResolution, 200u);
  EXPECT_EQ(r->yResolution, 200u);
  EXPECT_EQ(r->compression, kCompTiled);
  EXPECT_EQ(r->lineProgression, kTopToBottom);
  EXPECT_EQ(r->tiles.count, 4);
  EXPECT_EQ(r->tiles.across, 2);
  int code = -1;
  EXPECT_EQ(tileBytes(r, 0, 0, &code), reversed("\x12\x34\x56"));
  EXPECT_EQ(code, kCompG4);
  EXPECT_EQ(tileBytes(r, 600, 0, &code), std::string(64 * 512, '\0'));
  EXPECT_EQ(code, kCompUncompressed);
  EXPECT_EQ(tileBytes(r, 0, 600), std::string(64 * 512, '\xFF'));
  EXPECT_EQ(tileBytes(r, 999, 699, &code), std::string(64 * 512, '\x0F'));
  EXPECT_EQ(code, kCompUncompressed);
  ImageInformation info = imageInformation(r);
  EXPECT_EQ(info.title, "CALS File Information");
  auto field = [&](const std::string& label) {
    for (auto& f : info.fields)
      if (f.label == label) return f.value;
    return std::string("<none>");
  };
  EXPECT_EQ(field("Compression Type"), "Tiled");
  EXPECT_EQ(field("Description"), "Sheet 3 of 7");
  EXPECT_EQ(field("Date/Time"), "19960412103000");
  EXPECT_EQ(field("Author"), "R. Vane");
  EXPECT_EQ(field("Author (2)"), "Drafting");
  EXPECT_EQ(field("ODA Version"), "ISO 8613");
  EXPECT_EQ(field("ODA Version (2)"), "1989-06");
  EXPECT_EQ(field("Clipping"), "( 0,0 ) : ( 1000,700 )");
  EXPECT_EQ(field("Width (inches)"), "   5.00");
  imfCloseImage(r);
}

TEST_F(Cals2, WithoutHeaderTypesOrListTheTilesAreTheSame) {
  OdaSpec base = fourTiles();
  base.tiles[1] = {2, "\xAA"};
  base.tiles[2] = {2, "\xBB\xCC"};
  base.tiles[3] = {2, "\xDD"};
  for (int variant = 0; variant < 5; ++variant) {
    OdaSpec s = base;
    s.calsHeader = variant != 1;
    s.tileTypes = variant != 2;
    s.tileList = variant != 3;
    s.x690Identifiers = variant == 4;
    s.indefiniteTileData = variant == 4;
    if (variant == 3) s.tiles[1] = {0, ""};  // a null tile without a list takes no element
    ImageFileRecord* r = open(hv::test::buildCals2(s));
    ASSERT_NE(r, nullptr) << variant << " " << lastMessage();
    EXPECT_EQ(tileBytes(r, 0, 0), reversed("\x12\x34\x56")) << variant;
    EXPECT_EQ(tileBytes(r, 512, 0), variant == 3 ? std::string(64 * 512, '\0') : reversed("\xAA")) << variant;
    EXPECT_EQ(tileBytes(r, 0, 512), reversed("\xBB\xCC")) << variant;
    EXPECT_EQ(tileBytes(r, 512, 512), reversed("\xDD")) << variant;
    imfCloseImage(r);
  }
}

TEST_F(Cals2, ResolutionFromSpacingAndRatio) {
  OdaSpec s = fourTiles();
  s.pelSpacing = 3;
  s.spacingRatio[0] = 1;
  s.spacingRatio[1] = 2;
  ImageFileRecord* r = open(hv::test::buildCals2(s));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->xResolution, 400u);
  EXPECT_EQ(r->yResolution, 200u);
  imfCloseImage(r);
}

TEST_F(Cals2, UntiledRasterIsOneTile) {
  OdaSpec s;
  s.width = 100;
  s.height = 20;
  s.coding = 3;
  s.tiles = {{5, std::string(13 * 20, '\x80')}};
  ImageFileRecord* r = open(hv::test::buildCals2(s));
  ASSERT_NE(r, nullptr) << lastMessage();
  EXPECT_EQ(r->tiles.count, 1);
  EXPECT_EQ(r->tiles.width, 100);
  EXPECT_EQ(tileBytes(r, 50, 10), std::string(13 * 20, '\x80'));
  imfCloseImage(r);
}

TEST_F(Cals2, Refusals) {
  struct Case {
    const char* what;
    OdaSpec spec;
    std::string expected;
  };
  std::vector<Case> cases;
  OdaSpec s = fourTiles();
  s.profile = false;
  cases.push_back({"no profile", s, "Unable to read "});
  s = fourTiles();
  s.rasterClass = false;
  cases.push_back({"no raster class", s, "Unable to read "});
  s = fourTiles();
  s.coding = 9;
  cases.push_back({"unknown coding", s, "Cannot Recognize Compression Type:  "});
  s = fourTiles();
  s.tiles[1].type = 3;
  cases.push_back({"tile type 3", s, "Cannot Recognize Tile Data\n"});
  s = fourTiles();
  s.width = 70000;
  cases.push_back({"too wide", s, "Image width or height"});
  for (const Case& c : cases) {
    EXPECT_EQ(open(hv::test::buildCals2(c.spec)), nullptr) << c.what;
    EXPECT_EQ(lastMessage().rfind(c.expected, 0), 0u) << c.what << ": " << lastMessage();
  }
  // Opening modes other than reading and writing.
  hv::test::writeFile(dir_.file("m.cal"), hv::test::buildCals2(fourTiles()));
  EXPECT_EQ(boundFilter(kFilterCals2)->open(nullptr, dir_.file("m.cal").c_str(), 2 /* not an OpenMode */, 0), nullptr);
}

TEST_F(Cals2, LengthsBeyondTheFileAndDeepNestingAreRefused) {
  std::string good = hv::test::buildCals2(fourTiles());
  // Cut inside the content portion: the element claims more than is there.
  EXPECT_EQ(open(good.substr(0, good.size() - 100)), nullptr);
  EXPECT_EQ(lastMessage(), messageText(kMsgPastEofCals2));
  // Behind a sound stream, elements of the indefinite form nested far
  // deeper than the walker goes.
  std::string nested;
  for (int i = 0; i < kWalkMaxDepth + 2; ++i) nested += std::string("\xA4\x80", 2);
  nested += std::string(2 * (kWalkMaxDepth + 2), '\0');
  EXPECT_EQ(open(good + nested), nullptr);
  EXPECT_EQ(lastMessage(), "Unable to read " + path_ + "\n");
  // Nested to just within the limit, the same file opens.
  nested = std::string("\xA4\x80", 2) + std::string(2, '\0');
  ImageFileRecord* r = open(good + nested);
  EXPECT_NE(r, nullptr) << lastMessage();
  imfCloseImage(r);
}

TEST_F(Cals2, BadTileElementReadsAsError) {
  OdaSpec s = fourTiles();
  std::string bytes = hv::test::buildCals2(s);
  // The first tile's OCTET STRING becomes a BIT STRING.
  std::size_t at = bytes.find(std::string("\x04\x03\x12\x34\x56", 5));
  ASSERT_NE(at, std::string::npos);
  bytes[at] = 0x03;
  ImageFileRecord* r = open(bytes);
  ASSERT_NE(r, nullptr);
  std::vector<std::uint8_t> storage(64);
  CodeBuffer buf{storage.data(), 0, 64};
  CodeInfo info;
  int compression = 0;
  EXPECT_EQ(r->tiles.types[0], kTileBad);
  EXPECT_EQ(stripGetCodeBuf(r, &buf, &info, &compression), hv::Status::ReadFailed);
  imfCloseImage(r);
}

}  // namespace
}  // namespace hv::formats
