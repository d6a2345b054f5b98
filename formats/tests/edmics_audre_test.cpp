#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/audre_read.h"
#include "formats/edmics_layout.h"
#include "formats/edmics_read.h"
#include "formats/file_manager.h"
#include "formats/fm_messages.h"
#include "formats/format_tables.h"
#include "formats/strip_reader.h"
#include "tests/support/oda_builder.h"
#include "tests/support/temp_dir.h"

namespace hv::formats {
namespace {

ImageFileRecord* openAs(int filter, const std::string& path, int mode = kOpenRead) {
  if (imfLoadFileFilter(filter) != filter) return nullptr;
  return boundFilter(filter)->open(nullptr, path.c_str(), mode, 0);
}

std::string allBytes(ImageFileRecord* r, std::uint32_t capacity = 1000) {
  const FilterProcs* f = boundFilter(r->filter);
  std::vector<std::uint8_t> storage(capacity);
  CodeBuffer buf{storage.data(), 0, capacity};
  CodeInfo info;
  int compression = 0;
  std::string out;
  while (f->getCodeBuf(r, &buf, &info, &compression) == hv::Status::Ok) out.append(reinterpret_cast<char*>(buf.data), buf.count);
  return out;
}

std::string field(const ImageInformation& info, const std::string& label) {
  for (auto& f : info.fields)
    if (f.label == label) return f.value;
  return "<none>";
}

TEST(Edmics6, DerivedHeightOfStandardSheets) {
  EXPECT_EQ(edmics6DerivedHeight(2200, 400), 17920u);  // 44 inches wide: 44 high
  EXPECT_EQ(edmics6DerivedHeight(200, 200), 2560u);    // 8 inches wide: 11 high, 2200 lines
  EXPECT_EQ(edmics6DerivedHeight(500, 200), 4608u);    // 20 inches wide: 22 high, 4400 lines
}

TEST(Edmics6, TilesSizesTypesAndCard) {
  hv::test::TempDir dir;
  hv::test::Edm6Spec s;
  s.widthBytes = 100;  // 800 pixels: 2 tiles across
  s.height = 600;      // 2 down
  s.resolution = 300;
  s.card = "1234567 CARD TEXT";
  s.tiles = {{false, "\x01\x02"}, {true, std::string(64 * 512, '\x55')}, {false, "\x03"}, {false, "\x04\x05\x06"}};
  for (bool variant : {false, true}) {
    s.secondVariant = variant;
    hv::test::writeFile(dir.file("a.c4"), hv::test::buildEdmics6(s));
    ImageFileRecord* r = openAs(kFilterEdmics6, dir.file("a.c4"), variant ? kOpenReadSecondHeader : kOpenRead);
    ASSERT_NE(r, nullptr) << lastMessage();
    EXPECT_EQ(r->width, 800u);
    EXPECT_EQ(r->height, 600u);
    EXPECT_EQ(r->xResolution, 300u);
    EXPECT_EQ(r->compression, kCompTiled);
    ASSERT_EQ(r->tiles.count, 4);
    EXPECT_EQ(r->tiles.types[1], kTileUncompressed);
    EXPECT_EQ(r->tiles.byteCounts[3], 3u);
    SeekResult where;
    std::vector<std::uint8_t> storage(100000);
    CodeBuffer buf{storage.data(), 0, 100000};
    CodeInfo info;
    int compression = 0;
    stripSeek(r, SeekRequest{700, 599}, &buf, &info, &compression, nullptr, 0, &where);
    EXPECT_EQ(where.originX, 512);
    EXPECT_EQ(where.originY, 512);
    ASSERT_EQ(stripGetCodeBuf(r, &buf, &info, &compression), hv::Status::Ok);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buf.data), buf.count), "\x20\xA0\x60");  // bit-reversed
    stripSeek(r, SeekRequest{512, 0}, &buf, &info, &compression, nullptr, 0, &where);
    ASSERT_EQ(stripGetCodeBuf(r, &buf, &info, &compression), hv::Status::Ok);
    EXPECT_EQ(compression, kCompUncompressed);
    EXPECT_EQ(buf.count, 64u * 512);
    EXPECT_EQ(buf.data[0], 0x55);
    ImageInformation info2 = imageInformation(r);
    EXPECT_EQ(info2.title, "EDMICS VI File Information");
    EXPECT_EQ(field(info2, "Hollerith"), "1234567 CARD TEXT" + std::string(63, ' '));
    EXPECT_EQ(field(info2, "Compression Type"), "(Tiled Format)");
    imfCloseImage(r);
  }
}

TEST(Edmics6, TruncatedIndexShortensTheImage) {
  hv::test::TempDir dir;
  hv::test::Edm6Spec s;
  s.widthBytes = 128;  // 1024 pixels: 2 across
  s.height = 1500;     // 3 down
  for (int i = 0; i < 6; ++i) s.tiles.push_back({false, "\x11"});
  s.indexEntries = 5;  // the third row is incomplete
  hv::test::writeFile(dir.file("t.c4"), hv::test::buildEdmics6(s));
  ImageFileRecord* r = openAs(kFilterEdmics6, dir.file("t.c4"));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->height, 1024u);
  EXPECT_EQ(r->tiles.count, 4);
  EXPECT_EQ(r->tiles.down, 2);
  imfCloseImage(r);
  // No complete row at all: nothing to show.
  s.indexEntries = 1;
  hv::test::writeFile(dir.file("u.c4"), hv::test::buildEdmics6(s));
  EXPECT_EQ(openAs(kFilterEdmics6, dir.file("u.c4")), nullptr);
}

TEST(Edmics6, HeaderWithDerivedHeight) {
  hv::test::TempDir dir;
  hv::test::Edm6Spec s;
  s.widthBytes = 2200;
  s.height = 0;
  s.resolution = 400;
  for (int i = 0; i < 35 * 35; ++i) s.tiles.push_back({false, ""});
  hv::test::writeFile(dir.file("d.c4"), hv::test::buildEdmics6(s));
  ImageFileRecord* r = openAs(kFilterEdmics6, dir.file("d.c4"));
  ASSERT_NE(r, nullptr) << lastMessage();
  EXPECT_EQ(r->width, 17600u);
  EXPECT_EQ(r->height, 17920u);
  EXPECT_EQ(r->tiles.count, 35 * 35);
  imfCloseImage(r);
}

TEST(Edmics5, HeaderFieldsAndStrip) {
  hv::test::TempDir dir;
  std::string h(512, '\0');
  h[26] = 0x03, h[27] = 0x20;  // 800
  h[30] = 0x01, h[31] = 0x2C;  // 300
  h.replace(100, 5, "12345");
  hv::test::writeFile(dir.file("e5"), h + "\x80\x40");
  ImageFileRecord* r = openAs(kFilterEdmics5, dir.file("e5"));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->width, 800u);
  EXPECT_EQ(r->height, 300u);
  EXPECT_EQ(r->lineProgression, kBottomToTop);
  EXPECT_EQ(allBytes(r), "\x01\x02");
  EXPECT_EQ(imageInformation(r).title, "EDMICS V File Information");
  imfCloseImage(r);
  EXPECT_EQ(openAs(kFilterEdmics5, dir.file("e5"), kOpenWrite), nullptr);
  hv::test::writeFile(dir.file("short"), h.substr(0, 300));
  EXPECT_EQ(openAs(kFilterEdmics5, dir.file("short")), nullptr);
  EXPECT_EQ(lastMessage(), "Unexpected End of File on " + dir.file("short") + "\n");
}

std::string audreHeader(const char* w, const char* h, const char* q, char photometric, char bitOrder) {
  std::string s(1028, '\0');
  s.replace(0, 6, "ad1000");
  s.replace(6, std::string(w).size(), w);
  s.replace(12, std::string(h).size(), h);
  s.replace(18, std::string(q).size(), q);
  s.replace(24, 3, "300");
  s.replace(30, 3, "300");
  s[37] = 1;
  s[38] = photometric;
  s[39] = bitOrder;
  return s.substr(0, 1024);
}

TEST(Audre, RowsWithoutTheirPaddingInEitherBitOrder) {
  hv::test::TempDir dir;
  // 12 pixels, quadwidth 4: two bytes of pixels and two of padding per line.
  std::string raster = std::string("\xF0\x30\xEE\xEE", 4) + std::string("\x01\x80\xEE\xEE", 4);
  hv::test::writeFile(dir.file("a.aud"), audreHeader("12", "2", "4", 1, 0) + raster);
  ImageFileRecord* r = openAs(kFilterAudre, dir.file("a.aud"));
  ASSERT_NE(r, nullptr) << lastMessage();
  EXPECT_EQ(r->photometric, 0);
  EXPECT_EQ(r->xResolution, 300u);
  EXPECT_EQ(allBytes(r, 3), std::string("\xF0\x30\x01\x80", 4));
  // Seeking to the second line, then a lower-first bit order.
  SeekResult where;
  std::vector<std::uint8_t> storage(16);
  CodeBuffer buf{storage.data(), 0, 16};
  CodeInfo info;
  int compression = 0;
  EXPECT_EQ(audreSeek(r, SeekRequest{0, 1}, &buf, &info, &compression, nullptr, 0, &where), hv::Status::Ok);
  EXPECT_EQ(where.originY, 1);
  EXPECT_EQ(allBytes(r), std::string("\x01\x80", 2));
  EXPECT_EQ(audreSeek(r, SeekRequest{0, 2}, &buf, &info, &compression, nullptr, 0, &where), hv::Status::OutsideImage);
  EXPECT_EQ(field(imageInformation(r), "Quadwidth"), "4");
  imfCloseImage(r);

  hv::test::writeFile(dir.file("b.aud"), audreHeader("12", "2", "4", 0, 1) + raster);
  r = openAs(kFilterAudre, dir.file("b.aud"));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->photometric, 1);
  EXPECT_EQ(r->fillOrder, 1);
  EXPECT_EQ(allBytes(r), std::string("\x0F\x0C\x80\x01", 4));
  imfCloseImage(r);
}

TEST(Audre, Refusals) {
  hv::test::TempDir dir;
  hv::test::writeFile(dir.file("a.aud"), audreHeader("12", "2", "4", 1, 0) + std::string(8, '\0'));
  EXPECT_EQ(openAs(kFilterAudre, dir.file("a.aud"), kOpenWrite), nullptr);  // read-only format
  EXPECT_EQ(lastMessage(), "Unable to read " + dir.file("a.aud") + "\n");
  hv::test::writeFile(dir.file("q.aud"), audreHeader("100", "2", "4", 1, 0) + std::string(8, '\0'));
  EXPECT_EQ(openAs(kFilterAudre, dir.file("q.aud")), nullptr);  // lines shorter than the width
  std::string bad = audreHeader("12", "2", "4", 1, 0);
  bad[0] = 'X';
  hv::test::writeFile(dir.file("x.aud"), bad + std::string(8, '\0'));
  EXPECT_EQ(openAs(kFilterAudre, dir.file("x.aud")), nullptr);
  EXPECT_EQ(lastMessage(), "Invalid Audre Header Id in " + dir.file("x.aud") + "\n");
  hv::test::writeFile(dir.file("s.aud"), bad.substr(0, 500));
  EXPECT_EQ(openAs(kFilterAudre, dir.file("s.aud")), nullptr);
}

}  // namespace
}  // namespace hv::formats
