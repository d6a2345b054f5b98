// The encoder: exact code strings where the standard fixes them, and the
// round trip through the engine's readers for every coding on drawings and on
// the line shapes that stress the codings.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/ccitt_encode.h"
#include "engine/ccitt_wrap_raster.h"
#include "engine/image_memory.h"
#include "engine/tests/encode_test_support.h"

namespace hv::engine {
namespace {

using test::Lines;
namespace fmt = formats;

constexpr int kAllCodings[] = {fmt::kCompG3OneD, fmt::kCompModHuffman, fmt::kCompG4, fmt::kCompUncompressed,
                               fmt::kCompG4Wrap};

struct MemoryDeleter {
  void operator()(ImageMemory* m) const { freeImageMemory(m); }
};
using Memory = std::unique_ptr<ImageMemory, MemoryDeleter>;

Memory fromLines(std::uint32_t width, const Lines& lines) {
  Memory m(createImageMemory(1, width, static_cast<std::uint32_t>(lines.size())));
  for (std::uint32_t y = 0; y < lines.size(); ++y) EXPECT_EQ(putLineCopy(m.get(), y, lines[y].data(), lines[y].size()), Status::Ok);
  return m;
}

// The written bits as a string of 0 and 1, first bit first.
std::string bitString(const std::vector<std::uint8_t>& bytes, std::size_t bits) {
  std::string s;
  for (std::size_t i = 0; i < bits; ++i) s += (bytes[i / 8] >> (7 - i % 8)) & 1 ? '1' : '0';
  return s;
}

std::string code(bool black, std::uint32_t run) {
  std::uint32_t e = runCode(black, run);
  std::string s;
  for (unsigned i = 0; i < (e & 31); ++i) s += (e >> (31 - i)) & 1 ? '1' : '0';
  return s;
}

// Random drawings: runs of every length class, lines equal to the one above,
// lines starting black, black runs that reach the right edge.
Lines randomLines(std::uint32_t width, std::uint32_t height, unsigned seed) {
  std::mt19937 rng(seed);
  Lines out;
  for (std::uint32_t y = 0; y < height; ++y) {
    if (y > 0 && rng() % 4 == 0) {
      out.push_back(out.back());
      continue;
    }
    std::vector<std::uint16_t> l;
    if (rng() % 3 == 0) l.push_back(0);
    std::uint32_t x = 0;
    for (;;) {
      std::uint32_t step = rng() % 5 == 0 ? rng() % 6000 : 1 + rng() % 40;
      x += step == 0 ? 1 : step;
      if (x >= width) break;
      if (!l.empty() && l.back() >= x) continue;
      l.push_back(static_cast<std::uint16_t>(x));
    }
    l.push_back(static_cast<std::uint16_t>(width));
    out.push_back(l);
  }
  return out;
}

TEST(RunTables, EntriesComeFromTheTranscribedTables) {
  EXPECT_EQ(code(false, 0), "00110101");
  EXPECT_EQ(code(false, 64), "1101100110101");
  EXPECT_EQ(code(true, 2), "11");
  EXPECT_EQ(code(true, 1728), "0000001100101" + code(true, 0));
  EXPECT_EQ(code(false, 2623), "000000011111" + code(false, 63));
  EXPECT_EQ(runCode(false, 2624), 0u);
}

TEST(EncodeOneD, BlankFaxLineIsMakeup1728ThenZeroAndEol) {
  Memory m = fromLines(1728, {{1728}});
  auto bytes = test::encodeToBytes(m.get(), fmt::kCompG3OneD);
  const std::string eol = "000000000001";
  const std::string want = eol + "010011011" + "00110101" + eol;
  EXPECT_EQ(bitString(bytes, want.size()), want);
  EXPECT_EQ(bytes.size(), (want.size() + 7) / 8);
}

TEST(EncodeOneD, LineStartingBlackBeginsWithWhiteZero) {
  Memory m = fromLines(100, {{0, 10, 100}});
  auto bytes = test::encodeToBytes(m.get(), fmt::kCompModHuffman);
  const std::string want = code(false, 0) + code(true, 10) + code(false, 90);
  EXPECT_EQ(bitString(bytes, want.size()), want);
}

TEST(EncodeOneD, LongRunTakes2560MakeupFirst) {
  Memory m = fromLines(5000, {{5000}});
  auto bytes = test::encodeToBytes(m.get(), fmt::kCompModHuffman);
  const std::string want = "000000011111" + code(false, 2440);
  EXPECT_EQ(bitString(bytes, want.size()), want);
  EXPECT_EQ(bytes.size(), (want.size() + 7) / 8);
}

TEST(EncodeOneD, ModifiedHuffmanPadsOnlyUnalignedLines) {
  // White 2 (0111) + black 2 (11) + white 4 (1011): 10 bits, padded to 16.
  // White 1728 + white 0: 17 bits; two such lines show the padding rule.
  Memory m = fromLines(8, {{2, 4, 8}, {8}});
  auto bytes = test::encodeToBytes(m.get(), fmt::kCompModHuffman);
  EXPECT_EQ(bitString(bytes, 16), "0111" "11" "1011" "000000");
  // A line of white 7 (1111) + black 1 (010) = 7 bits gets 1 bit; one whose
  // codes fill a byte exactly gets none: white 5 (1100), black 3 (10), ...
  Memory exact = fromLines(8, {{5, 8}, {5, 8}});
  auto b2 = test::encodeToBytes(exact.get(), fmt::kCompModHuffman);
  // 1100 + 10 = 6 bits, then 2 bits of padding: every line starts a byte.
  EXPECT_EQ(b2.size(), 2u);
  EXPECT_EQ(b2[0], b2[1]);
}

TEST(EncodeG4, EqualLinesAreV0Only) {
  const std::vector<std::uint16_t> line = {3, 9, 20, 31, 40};
  Memory one = fromLines(40, {line});
  Memory five = fromLines(40, Lines(5, line));
  const std::string eofb = "000000000001000000000001";
  auto s1 = test::encodeToBytes(one.get(), fmt::kCompG4);
  const std::string first = bitString(s1, s1.size() * 8);
  const std::string prefix = first.substr(0, first.find(eofb));
  // Each further line: V0 for its four changes and V0 for its end.
  const std::string want = prefix + "11111111111111111111" + eofb;
  auto s5 = test::encodeToBytes(five.get(), fmt::kCompG4);
  EXPECT_EQ(bitString(s5, want.size()), want);
  EXPECT_EQ(s5.size(), (want.size() + 7) / 8);
}

TEST(EncodeResults, MissingStateAndUnsupportedCodings) {
  EXPECT_EQ(encodeImage(nullptr), hv::Status::BadArgument);
  Memory m = fromLines(16, {{16}});
  std::vector<std::uint8_t> buf(64);
  EncoderState s;
  s.memory = m.get();
  s.out = fmt::WriteCodeBuffer{buf.data(), 0, 0, 0};
  s.capacity = 64;
  s.flush = appendCodes;
  std::vector<std::uint8_t> sink;
  s.flushContext = &sink;
  for (int unsupported : {int{fmt::kCompG3TwoD}, int{fmt::kCompPackBits}, int{fmt::kCompTiled}, 5, -1}) {
    s.compression = unsupported;
    EXPECT_EQ(encodeImage(&s), hv::Status::Unsupported) << unsupported;
    EXPECT_EQ(s.out.bitCount, 0u);
  }
  s.compression = fmt::kCompG4;
  s.out.byteCount = 1;
  EXPECT_EQ(encodeImage(&s), hv::Status::BadArgument);
  s.out.byteCount = 0;
  s.memory = nullptr;
  EXPECT_EQ(encodeImage(&s), hv::Status::BadArgument);
  EXPECT_TRUE(sink.empty());
}

TEST(EncodeFlush, AFailingWriteStopsCodingAndIsReported) {
  Memory m = fromLines(3000, randomLines(3000, 300, 5));
  std::vector<std::uint8_t> buf(64);
  EncoderState s;
  s.compression = fmt::kCompG4;
  s.memory = m.get();
  s.out = fmt::WriteCodeBuffer{buf.data(), 0, 0, 0};
  s.capacity = 64;
  int calls = 0;
  s.flushContext = &calls;
  s.flush = [](void* ctx, fmt::WriteCodeBuffer*) {
    return ++*static_cast<int*>(ctx) < 3 ? hv::Status::Ok : hv::Status::WriteFailed;
  };
  EXPECT_EQ(encodeImage(&s), hv::Status::WriteFailed);
  EXPECT_EQ(calls, 3);
}

// Every coding reads back exactly, whatever the buffer size: small buffers
// flush in the middle of codes and of rows.
TEST(EncodeRoundTrip, EveryCodingEveryBufferSize) {
  const std::uint32_t width = 2777;
  Lines lines = randomLines(width, 150, 11);
  Memory m = fromLines(width, lines);
  for (int c : kAllCodings) {
    SCOPED_TRACE(c);
    auto whole = test::encodeToBytes(m.get(), c, nullptr, 1 << 20);
    for (std::uint32_t cap : {16u, 17u, 350u, kEncodeBufferBytes})
      if (c != fmt::kCompUncompressed || cap >= (width + 7) / 8) {
        EXPECT_EQ(test::encodeToBytes(m.get(), c, nullptr, cap), whole);
      }
    EXPECT_EQ(test::decodeBytes(whole, c, width, 150), lines);
  }
}

TEST(EncodeRoundTrip, EdgeShapes) {
  const std::uint32_t w = 70;
  const std::vector<Lines> shapes = {
      Lines(4, {w}),                         // all white
      Lines(4, {0, w}),                      // all black: one run through every line
      {{60, w}, {0, 5, w}, {0, w}, {w}},     // black runs across line ends
      {{w}, {w}, {69, w}},                   // the last pixel alone
      {{0, 1, w}, {1, 2, w}, {68, 69, w}},   // single pixels at both edges
      {{w}, {0, w}, {w}, {0, w}, {0, 70}},   // alternating full lines, ending black
  };
  for (std::size_t i = 0; i < shapes.size(); ++i) {
    Memory m = fromLines(w, shapes[i]);
    for (int c : kAllCodings) {
      SCOPED_TRACE(testing::Message() << "shape " << i << " coding " << c);
      auto bytes = test::encodeToBytes(m.get(), c);
      EXPECT_EQ(test::decodeBytes(bytes, c, w, static_cast<std::uint16_t>(shapes[i].size())), shapes[i]);
    }
  }
}

TEST(EncodeWrap, ContinuousRasterStartsWithAModeCodeAndEndsWithTheEndCode) {
  Memory m = fromLines(70, {{60, 70}, {0, 5, 70}, {70}});
  auto bytes = test::encodeToBytes(m.get(), fmt::kCompG4Wrap);
  auto lsb = test::reversedBits(bytes);
  EXPECT_TRUE(isContinuousWrap(lsb.data(), lsb.size()));
  const std::string s = bitString(bytes, bytes.size() * 8);
  // The black run 60..75 crosses the line end: horizontal, white 60, black 15.
  EXPECT_EQ(s.substr(0, 3 + code(false, 60).size() + code(true, 15).size()), "001" + code(false, 60) + code(true, 15));
  EXPECT_NE(s.find("00000000000100000000000010"), std::string::npos);
  // EOL-framed data is not taken for the continuous form.
  const std::uint8_t framed[] = {0x00, 0x08, 0xFF};
  EXPECT_FALSE(isContinuousWrap(framed, sizeof framed));
}

TEST(EncodeWrap, ReaderFailsCleanlyOnDamagedData) {
  Memory m = fromLines(500, randomLines(500, 60, 3));
  auto lsb = test::reversedBits(test::encodeToBytes(m.get(), fmt::kCompG4Wrap));
  std::mt19937 rng(9);
  for (int round = 0; round < 200; ++round) {
    auto damaged = lsb;
    damaged.resize(rng() % (damaged.size() + 1));
    if (!damaged.empty()) damaged[rng() % damaged.size()] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
    std::uint32_t delivered = 0;
    WrapLineSink sink{[](void* u, std::uint32_t y, const std::uint16_t* l, std::uint32_t n) {
                        auto& d = *static_cast<std::uint32_t*>(u);
                        EXPECT_EQ(y, d);
                        EXPECT_EQ(l[n - 1], 500);
                        for (std::uint32_t i = 1; i < n; ++i) EXPECT_LT(l[i - 1], l[i]);
                        ++d;
                        return true;
                      },
                      &delivered};
    hv::Status r = decodeWrapRaster(damaged.data(), damaged.size(), 500, 60, sink);
    EXPECT_TRUE(r == hv::Status::Ok || r == hv::Status::DataEnded || r == hv::Status::CodingError);
    EXPECT_LE(delivered, 60u);
    if (r == hv::Status::Ok) {
      EXPECT_EQ(delivered, 60u);
    }
  }
}

}  // namespace
}  // namespace hv::engine
