// Decoding data made by other programs (libtiff's tiffcp): every line must
// equal the drawing it was made from, however the data is fed, in both output
// forms, and from every checkpoint.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "engine/ccitt_decode.h"
#include "engine/tests/ccitt_test_support.h"
#include "formats/compression_codes.h"
#include "formats/tiff_tags.h"
#include "tests/support/temp_dir.h"

namespace hv::engine {
namespace {

using L = std::vector<std::uint16_t>;

// A deterministic drawing: frame, lines at many angles, boxes, text-like
// strokes, speckle, and a black band reaching both edges.
struct Drawing {
  int w, h;
  std::vector<std::uint8_t> px;  // 1 = black
  Drawing(int width, int height, std::uint32_t seed) : w(width), h(height), px(std::size_t(width) * height) {
    std::uint32_t s = seed;
    auto rnd = [&](int n) {
      s = s * 1664525u + 1013904223u;
      return static_cast<int>((s >> 8) % static_cast<std::uint32_t>(n));
    };
    auto line = [&](int x0, int y0, int x1, int y1, int t) {
      const int n = std::max(std::abs(x1 - x0), std::abs(y1 - y0)) + 1;
      for (int i = 0; i <= n; ++i)
        for (int a = 0; a < t; ++a)
          for (int b = 0; b < t; ++b) set(x0 + (x1 - x0) * i / n + a, y0 + (y1 - y0) * i / n + b);
    };
    line(2, 2, w - 3, 2, 3);
    line(2, h - 5, w - 3, h - 5, 3);
    line(2, 2, 2, h - 5, 3);
    line(w - 5, 2, w - 5, h - 5, 3);
    for (int i = 0; i < 60; ++i) line(rnd(w), rnd(h), rnd(w), rnd(h), 1 + rnd(3));
    for (int i = 0; i < 300; ++i) {
      const int x = rnd(w), y = rnd(h);
      for (int k = 0; k < 3; ++k) line(x + rnd(8), y + rnd(10), x + rnd(8), y + rnd(10), 1);
    }
    for (int i = 0; i < 200; ++i) set(rnd(w), rnd(h));
    for (int y = h / 2; y < h / 2 + 3; ++y)
      for (int x = 0; x < w; ++x) set(x, y);
    for (int y = 10; y < 40; ++y)
      for (int x = w - 700; x < w; ++x) set(x, y);  // long black runs (13-bit codes)
  }
  void set(int x, int y) {
    if (x >= 0 && y >= 0 && x < w && y < h) px[std::size_t(y) * w + x] = 1;
  }
  L list(int y, int x0, int x1) const {
    L out;
    bool black = false;
    for (int x = x0; x < x1; ++x)
      if ((px[std::size_t(y) * w + x] != 0) != black) {
        black = !black;
        out.push_back(static_cast<std::uint16_t>(x - x0));
      }
    out.push_back(static_cast<std::uint16_t>(x1 - x0));
    return out;
  }
  std::string pbm() const {
    std::string s = "P4\n" + std::to_string(w) + " " + std::to_string(h) + "\n";
    const int rb = (w + 7) / 8;
    for (int y = 0; y < h; ++y) {
      std::string row(rb, '\0');
      for (int x = 0; x < w; ++x)
        if (px[std::size_t(y) * w + x]) row[x / 8] = static_cast<char>(row[x / 8] | 0x80 >> (x & 7));
      s += row;
    }
    return s;
  }
};

// Test-only reader of a TIFF's first directory: strips, compression and fill order.
struct TiffStrips {
  int compression = 0;
  std::uint32_t g3Options = 0, fillOrder = 1;
  std::vector<std::vector<std::uint8_t>> strips;
};

bool readTiff(const std::string& bytes, TiffStrips& t) {
  if (bytes.size() < 8) return false;
  const bool mm = bytes[0] == 'M';
  auto u16 = [&](std::size_t o) -> std::uint32_t {
    if (o + 2 > bytes.size()) return 0;
    const auto a = std::uint8_t(bytes[o]), b = std::uint8_t(bytes[o + 1]);
    return mm ? (a << 8 | b) : (b << 8 | a);
  };
  auto u32 = [&](std::size_t o) -> std::uint32_t {
    return mm ? (u16(o) << 16 | u16(o + 2)) : (u16(o + 2) << 16 | u16(o));
  };
  const std::uint32_t ifd = u32(4);
  std::vector<std::uint32_t> offsets, counts;
  for (std::uint32_t i = 0, n = u16(ifd); i < n; ++i) {
    const std::size_t e = ifd + 2 + 12 * i;
    const std::uint32_t tag = u16(e), type = u16(e + 2), count = u32(e + 4);
    const bool isShort = type == formats::kTiffShort;
    const std::size_t size = isShort ? 2 : 4;
    const std::size_t at = count * size <= 4 ? e + 8 : u32(e + 8);
    auto value = [&](std::uint32_t k) { return isShort ? u16(at + k * 2) : u32(at + k * 4); };
    std::vector<std::uint32_t> v;
    for (std::uint32_t k = 0; k < count && k < 100000; ++k) v.push_back(value(k));
    if (v.empty()) continue;
    if (tag == formats::kTiffCompression) t.compression = static_cast<int>(v[0]);
    if (tag == formats::kTiffFillOrder) t.fillOrder = v[0];
    if (tag == formats::kTiffT4Options) t.g3Options = v[0];
    if (tag == formats::kTiffStripOffsets) offsets = v;
    if (tag == formats::kTiffStripByteCounts) counts = v;
  }
  if (offsets.size() != counts.size() || offsets.empty()) return false;
  for (std::size_t i = 0; i < offsets.size(); ++i) {
    if (std::size_t(offsets[i]) + counts[i] > bytes.size()) return false;
    t.strips.emplace_back(bytes.begin() + offsets[i], bytes.begin() + offsets[i] + counts[i]);
  }
  return true;
}

std::uint8_t reverse(std::uint8_t b) {
  std::uint8_t r = 0;
  for (int i = 0; i < 8; ++i)
    if (b & (1 << i)) r = static_cast<std::uint8_t>(r | 0x80 >> i);
  return r;
}

class PeerData : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    drawing_ = new Drawing(1013, 260, 7);
    if (!hv::test::haveProgram("tiffcp") || !hv::test::haveProgram("pnmtotiff")) return;
    dir_ = new hv::test::TempDir;
    hv::test::writeFile(dir_->file("d.pbm"), drawing_->pbm());
    available_ = hv::test::runCommand("pnmtotiff -miniswhite -none " + dir_->file("d.pbm") + " > " + dir_->file("d.tif") +
                                      " 2>/dev/null") == 0;
  }
  static void TearDownTestSuite() {
    delete dir_;
    delete drawing_;
    dir_ = nullptr;
    drawing_ = nullptr;
  }

  // Converts the drawing with tiffcp options and returns the job for it.
  test::Job make(const std::string& options) {
    test::Job j;
    if (!available_) return j;
    const std::string out = dir_->file("o.tif");
    EXPECT_EQ(hv::test::runCommand("tiffcp " + options + " " + dir_->file("d.tif") + " " + out), 0);
    TiffStrips t;
    EXPECT_TRUE(readTiff(hv::test::readFile(out), t));
    const int code =
        formats::recordFromTiffCompression(static_cast<std::uint32_t>(t.compression), t.g3Options);
    EXPECT_GE(code, 0) << options;
    const bool ccitt = code != formats::kCompPackBits && code != formats::kCompUncompressed;
    // As the file manager hands data over: first bit lowest.
    if (ccitt && t.fillOrder == formats::kTiffFillMsbFirst)
      for (auto& s : t.strips)
        for (auto& b : s) b = reverse(b);
    j.code = code;
    j.width = static_cast<std::uint16_t>(drawing_->w);
    j.height = static_cast<std::uint16_t>(drawing_->h);
    j.strips = t.strips;
    return j;
  }

  static std::vector<L> expected(int x0, int x1, int y0, int y1) {
    std::vector<L> v;
    for (int y = y0; y < y1; ++y) v.push_back(drawing_->list(y, x0, x1));
    return v;
  }

  // Whole, byte by byte and random pieces; lists and bitmaps; full image and a region.
  void checkAllFeedings(test::Job j) {
    const std::vector<L> all = expected(0, drawing_->w, 0, drawing_->h);
    for (int feed = 0; feed < 3; ++feed) {
      j.feeding = test::Feeding{};
      if (feed == 1) j.feeding.piece = 1;
      if (feed == 2) j.feeding.randomPieces = true, j.feeding.seed = 99;
      const test::Outcome o = test::runJob(j);
      EXPECT_EQ(o.result, kAllDone) << "feeding " << feed;
      ASSERT_EQ(o.lists.size(), all.size()) << "feeding " << feed;
      for (std::size_t y = 0; y < all.size(); ++y) ASSERT_EQ(o.lists[y], all[y]) << "line " << y << " feeding " << feed;
    }
    // A region, as lists and as bitmap rows at an odd bit offset.
    test::Job r = j;
    r.feeding = test::Feeding{};
    r.feeding.randomPieces = true;
    r.firstCol = 301;
    r.endCol = 777;
    r.firstLine = 50;
    r.endLine = 200;
    r.listEntries = (777 - 301) + 2;  // one line at a time: band full after every line
    const test::Outcome o = test::runJob(r);
    EXPECT_EQ(o.result, kAllDone);
    EXPECT_EQ(o.lists, expected(301, 777, 50, 200));
    r.form = OutputForm::kBitmap;
    r.firstBitCol = 5;
    const test::Outcome b = test::runJob(r);
    ASSERT_EQ(b.rows.size(), 150u);
    for (int y = 0; y < 150; ++y)
      for (int x = 301; x < 777; ++x) {
        const int bit = x - 301 + 5;
        const bool black = (b.rows[y][bit / 8] >> (7 - bit % 8)) & 1;
        ASSERT_EQ(black, drawing_->px[std::size_t(y + 50) * drawing_->w + x] != 0) << x << "," << y + 50;
      }
  }

  // Resuming at every checkpoint gives the lines of a decoding from the top.
  void checkCheckpoints(test::Job j) {
    j.interval = 23;
    const test::Outcome top = test::runJob(j);
    ASSERT_EQ(top.result, kAllDone);
    ASSERT_EQ(top.checkpoints.size(), std::size_t(drawing_->h / 23));
    for (const test::Checkpoint& c : top.checkpoints) {
      test::Feeder feeder(j.strips, j.code, test::Feeding{0, true, 40, c.lines});
      ResumePoint rp;
      feeder.seek(c.strip, c.stripBit, rp);
      rp.linesDecoded = c.lines;
      if (!c.line.empty()) {
        rp.refLine = c.line.data();
        rp.refLineBytes = static_cast<std::uint32_t>(c.line.size() * 2);
      }
      std::copy(std::begin(c.extra), std::end(c.extra), rp.extra);
      test::Job rj = j;
      rj.interval = 0;
      const test::Outcome o = test::runJob(rj, &rp, &feeder);
      EXPECT_EQ(o.result, kAllDone) << "checkpoint " << c.lines;
      const std::vector<L> want(top.lists.begin() + c.lines, top.lists.end());
      EXPECT_EQ(o.lists, want) << "checkpoint " << c.lines;
    }
  }

  static Drawing* drawing_;
  static hv::test::TempDir* dir_;
  static bool available_;
};

Drawing* PeerData::drawing_ = nullptr;
hv::test::TempDir* PeerData::dir_ = nullptr;
bool PeerData::available_ = false;

#define HV_NEED_TOOLS() \
  if (!available_) GTEST_SKIP() << "tiffcp / pnmtotiff not installed"

TEST_F(PeerData, Group4) {
  HV_NEED_TOOLS();
  checkAllFeedings(make("-c g4 -r 260"));
  checkAllFeedings(make("-c g4 -r 260 -f lsb2msb"));
  checkCheckpoints(make("-c g4 -r 260"));
}

TEST_F(PeerData, Group3OneDimensional) {
  HV_NEED_TOOLS();
  checkAllFeedings(make("-c g3:1d -r 260"));
  checkAllFeedings(make("-c g3:1d:fill -r 260"));
  checkCheckpoints(make("-c g3:1d:fill -r 260"));
}

TEST_F(PeerData, Group3TwoDimensional) {
  HV_NEED_TOOLS();
  checkAllFeedings(make("-c g3:2d -r 260"));
  checkAllFeedings(make("-c g3:2d:fill -r 260 -B"));
  checkCheckpoints(make("-c g3:2d -r 260"));
}

TEST_F(PeerData, PackBitsAndUncompressed) {
  HV_NEED_TOOLS();
  checkAllFeedings(make("-c packbits -r 260"));
  checkAllFeedings(make("-c none -r 260"));
}

TEST_F(PeerData, MultipleStrips) {
  HV_NEED_TOOLS();
  for (const char* c : {"g4", "g3:2d", "g3:1d:fill", "packbits", "none"}) {
    test::Job j = make(std::string("-c ") + c + " -r 64");
    EXPECT_GT(j.strips.size(), 1u) << c;
    checkAllFeedings(j);
  }
  checkCheckpoints(make("-c g4 -r 64"));
}

// Modified Huffman (TIFF compression 2): rows coded 1-D, each starting on a byte.
TEST_F(PeerData, ModifiedHuffmanRows) {
  test::BitWriter w;
  for (int y = 0; y < drawing_->h; ++y) {
    const L line = drawing_->list(y, 0, drawing_->w);
    std::uint32_t col = 0;
    bool black = false;
    for (std::uint16_t t : line) {
      w.run(black, t - col);
      col = t;
      black = !black;
    }
    w.alignByte();
  }
  test::Job j;
  j.code = formats::kCompModHuffman;
  j.width = static_cast<std::uint16_t>(drawing_->w);
  j.height = static_cast<std::uint16_t>(drawing_->h);
  j.strips = {w.bytes()};
  checkAllFeedings(j);
  checkCheckpoints(j);
}

// Group 4 wrap: the peer's Group 4 lines, once as they are and once each behind
// an EOL with a varying number of fill zeros.
TEST_F(PeerData, Group4WrapBothForms) {
  HV_NEED_TOOLS();
  test::Job g4 = make("-c g4 -r 260");
  g4.interval = 1;
  const test::Outcome top = test::runJob(g4);
  ASSERT_EQ(top.checkpoints.size(), std::size_t(drawing_->h));
  std::vector<std::int64_t> starts = {0};
  for (const auto& c : top.checkpoints) starts.push_back(c.stripBit);
  const auto& src = g4.strips[0];
  test::BitWriter w;
  for (int y = 0; y < drawing_->h; ++y) {
    w.zeros(static_cast<unsigned>(y % 11));
    w.eol();
    for (std::int64_t b = starts[y]; b < starts[y + 1]; ++b) w.bits((src[b / 8] >> (b % 8)) & 1 ? "1" : "0");
  }
  test::Job wrap = g4;
  wrap.interval = 0;
  wrap.code = formats::kCompG4Wrap;
  checkAllFeedings(wrap);  // continuous raster, no EOLs
  wrap.strips = {w.bytes()};
  checkAllFeedings(wrap);
  checkCheckpoints(wrap);
}

#undef HV_NEED_TOOLS

}  // namespace
}  // namespace hv::engine
