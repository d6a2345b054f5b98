// Decoder corner cases on hand-built code strings.
#include <gtest/gtest.h>

#include "engine/ccitt_decode.h"
#include "engine/tests/ccitt_test_support.h"

namespace hv::engine {
namespace {

using ccitt::kModeHorizontal;
using ccitt::kModePass;
using ccitt::kModeV0;
using ccitt::kModeVL1;
using ccitt::kModeVR1;
using ccitt::kModeVR3;
using L = std::vector<std::uint16_t>;
using test::BitWriter;
using test::Job;
using test::runJob;

Job job(int code, std::uint16_t width, std::uint16_t height, const BitWriter& w) {
  Job j;
  j.code = code;
  j.width = width;
  j.height = height;
  j.strips = {w.bytes()};
  return j;
}

// Every way of cutting the input gives the same outcome.
void expectLines(Job j, const std::vector<L>& want, int result = kAllDone) {
  for (std::uint32_t piece : {0u, 1u, 2u, 3u}) {
    j.feeding.piece = piece;
    const test::Outcome o = runJob(j);
    EXPECT_EQ(o.result, result) << "piece " << piece;
    EXPECT_EQ(o.lists, want) << "piece " << piece;
  }
}

TEST(CcittDecode, Group4AllWhiteLinesFromSingleV0) {
  BitWriter w;
  w.mode(kModeV0);
  w.mode(kModeV0);
  expectLines(job(formats::kCompG4, 100, 2, w), {{100}, {100}});
}

TEST(CcittDecode, MakeupOf1728AndTerminatingZero) {
  BitWriter w;
  w.run(false, 1728);  // make-up 1728 + terminating 0
  ASSERT_EQ(w.size(), 9u + 8u);
  expectLines(job(formats::kCompModHuffman, 1728, 1, w), {{1728}});
}

TEST(CcittDecode, ThirteenBitBlackCodesAndExtendedMakeups) {
  BitWriter w;
  // 10 white, 640 black (13-bit make-up + 0), 2000 white (extended 1984 + 16), 1000 black
  // (13-bit 960 + 40), 3000 white (2560 + 384 + 56), rest black.
  for (auto [black, run] : {std::pair{false, 10u}, {true, 640u}, {false, 2000u}, {true, 1000u},
                            {false, 3000u}, {true, 90u}})
    w.run(black, run);
  expectLines(job(formats::kCompModHuffman, 6740, 1, w), {{10, 650, 2650, 3650, 6650, 6740}});
}

TEST(CcittDecode, Group3OneDimensionalWithAndWithoutLeadingEolAndFill) {
  auto lines = [](bool leadingEol, unsigned fill) {
    BitWriter w;
    for (int line = 0; line < 3; ++line) {
      if (line > 0 || leadingEol) {
        w.zeros(fill);
        w.eol();
      }
      w.run(false, 5 + line);
      w.run(true, 3);
      w.run(false, 92 - line);
    }
    return w;
  };
  const std::vector<L> want = {{5, 8, 100}, {6, 9, 100}, {7, 10, 100}};
  expectLines(job(formats::kCompG3OneD, 100, 3, lines(false, 0)), want);
  expectLines(job(formats::kCompG3OneD, 100, 3, lines(true, 0)), want);
  expectLines(job(formats::kCompG3OneD, 100, 3, lines(true, 13)), want);
  expectLines(job(formats::kCompG3OneD, 100, 3, lines(false, 7)), want);
}

TEST(CcittDecode, TwoHorizontalModesInARowAndLineStartingBlack) {
  BitWriter w;
  // Line 1: H(white 0, black 4) H(white 6, black 10) V0 → [0, 4, 10, 20, width].
  w.mode(kModeHorizontal);
  w.run(false, 0);
  w.run(true, 4);
  w.mode(kModeHorizontal);
  w.run(false, 6);
  w.run(true, 10);
  w.mode(kModeV0);  // b1 = width on the white reference → a1 = 50
  // Line 2 against line 1: V0 (b1 = 0), VR1 (b1 = 4 → 5), pass (b1 = 10, b2 = 20), VL1 → b1 of
  // next... keep simple: V0 V0 V0 V0 V0 copies the line.
  for (int i = 0; i < 5; ++i) w.mode(kModeV0);
  const std::vector<L> want = {{0, 4, 10, 20, 50}, {0, 4, 10, 20, 50}};
  expectLines(job(formats::kCompG4, 50, 2, w), want);
}

// ITU-T T.4 §4.1.1 allows a run of length 0 anywhere in a line (terminating
// code 0, alone or after a make-up code). Such a run changes no pixel: the
// runs on either side, of the same colour, join, and the colour alternation
// that follows is unaffected.
TEST(CcittDecode, ZeroLengthRunsInsideALineJoinTheirNeighbours) {
  BitWriter oneD;  // modified Huffman: every line starts on a byte boundary
  // Line 1: white 10, black 0, white 5, black 85.
  for (auto [black, run] : {std::pair{false, 10u}, {true, 0u}, {false, 5u}, {true, 85u}}) oneD.run(black, run);
  oneD.alignByte();
  // Line 2: white 64 (make-up 64 + terminating 0), black 0, white 0, black 6,
  // white 0, black 30.
  for (auto [black, run] : {std::pair{false, 64u}, {true, 0u}, {false, 0u}, {true, 6u}, {false, 0u}, {true, 30u}})
    oneD.run(black, run);
  oneD.alignByte();
  // Line 3: white 3, black 64 + 0, white 0, black 3, white 30.
  for (auto [black, run] : {std::pair{false, 3u}, {true, 64u}, {false, 0u}, {true, 3u}, {false, 30u}})
    oneD.run(black, run);
  expectLines(job(formats::kCompModHuffman, 100, 3, oneD), {{15, 100}, {64, 100}, {3, 70, 100}});

  // The same in horizontal mode, whose second run may be the empty one; the
  // joined line then serves as the reference of the next.
  BitWriter twoD;
  twoD.mode(kModeHorizontal);  // line 1: H(white 10, black 0) H(white 5, black 20) V0
  twoD.run(false, 10);
  twoD.run(true, 0);
  twoD.mode(kModeHorizontal);
  twoD.run(false, 5);
  twoD.run(true, 20);
  twoD.mode(kModeV0);
  for (int i = 0; i < 3; ++i) twoD.mode(kModeV0);  // line 2 copies line 1
  twoD.mode(kModeHorizontal);  // line 3: H(white 40, black 0) H(white 0, black 60)
  twoD.run(false, 40);
  twoD.run(true, 0);
  twoD.mode(kModeHorizontal);
  twoD.run(false, 0);
  twoD.run(true, 60);
  expectLines(job(formats::kCompG4, 100, 3, twoD), {{15, 35, 100}, {15, 35, 100}, {40, 100}});
}

TEST(CcittDecode, PassAndVerticalOffsetsAgainstReference) {
  BitWriter w;
  // Line 1: white 10, black 10, white 10, black 10, white 60 → [10, 20, 30, 40, 100].
  w.mode(kModeHorizontal);
  w.run(false, 10);
  w.run(true, 10);
  w.mode(kModeHorizontal);
  w.run(false, 10);
  w.run(true, 10);
  w.mode(kModeV0);
  // Line 2: pass (skips black 10..20), VR1 at b1 = 30 → 31, VL1 at b1 = 40 → 39, V0 to the end.
  w.mode(kModePass);
  w.mode(kModeVR1);
  w.mode(kModeVL1);
  w.mode(kModeV0);
  expectLines(job(formats::kCompG4, 100, 2, w), {{10, 20, 30, 40, 100}, {31, 39, 100}});
}

TEST(CcittDecode, RegionStartingInsideBlackRunBeginsWithZero) {
  BitWriter w;
  w.run(false, 10);
  w.run(true, 30);
  w.run(false, 60);
  Job j = job(formats::kCompModHuffman, 100, 1, w);
  j.firstCol = 20;
  j.endCol = 50;
  expectLines(j, {{0, 20, 30}});
  // Bitmap form, shifted by 3 bits in the band: columns 20..39 black → band bits 3..22.
  j.form = OutputForm::kBitmap;
  j.firstBitCol = 3;
  const test::Outcome o = runJob(j);
  ASSERT_EQ(o.rows.size(), 1u);
  EXPECT_EQ(o.rows[0][0], 0x1F);
  EXPECT_EQ(o.rows[0][1], 0xFF);
  EXPECT_EQ(o.rows[0][2], 0xFE);
  EXPECT_EQ(o.rows[0][3], 0x00);
}

TEST(CcittDecode, ZeroBitsInsideALineEndWithCodingErrorNotALoop) {
  BitWriter w;
  w.mode(kModeV0);  // line 1 white
  w.mode(kModeHorizontal);
  w.run(false, 10);
  w.run(true, 5);
  w.eol();  // where a mode code belongs
  w.eol();
  Job j = job(formats::kCompG4, 100, 3, w);
  const test::Outcome o = runJob(j, nullptr, nullptr, 20);
  EXPECT_EQ(o.result, kCodingError);
  // Bits were consumed in the first call: it reports the buffer once, then the stall.
  EXPECT_EQ(o.results, (std::vector<int>{kBufferUsed, kCodingError}));
  EXPECT_EQ(o.lists, (std::vector<L>{{100}}));
  // The same data cut byte by byte still ends within a few calls.
  j.feeding.piece = 1;
  EXPECT_EQ(runJob(j, nullptr, nullptr, 20).result, kCodingError);
}

TEST(CcittDecode, RepeatedMakeupCodesNeverWrapTheColumn) {
  // 1-D: 1100 white make-up codes of 64 in a 65535-pixel line overflow past the width.
  BitWriter w;
  for (int i = 0; i < 1100; ++i) w.bits("11011");
  expectLines(job(formats::kCompModHuffman, 65535, 1, w), {}, kCodingError);
  // 2-D horizontal mode with extended make-ups of 2560 (26 × 2560 > 65535).
  BitWriter h;
  h.mode(kModeHorizontal);
  for (int i = 0; i < 26; ++i) h.code(ccitt::extendedMakeupRows().back());
  expectLines(job(formats::kCompG4, 65535, 1, h), {}, kCodingError);
  // A vertical code right of the width.
  BitWriter v;
  v.mode(kModeVR3);
  expectLines(job(formats::kCompG4, 100, 1, v), {}, kCodingError);
}

TEST(CcittDecode, Group4WrapReadsEolFramedAndContinuousLines) {
  const std::vector<L> want = {{100}, {3, 9, 100}, {3, 9, 100}};
  auto lines = [](bool eols, unsigned fill) {
    BitWriter w;
    for (int line = 0; line < 3; ++line) {
      if (eols) {
        w.zeros(fill + line);
        w.eol();
      }
      if (line == 0) {
        w.mode(kModeV0);
      } else if (line == 1) {
        w.mode(kModeHorizontal);
        w.run(false, 3);
        w.run(true, 6);
        w.mode(kModeV0);
      } else {
        for (int i = 0; i < 3; ++i) w.mode(kModeV0);
      }
    }
    return w;
  };
  expectLines(job(formats::kCompG4Wrap, 100, 3, lines(true, 0)), want);
  expectLines(job(formats::kCompG4Wrap, 100, 3, lines(true, 5)), want);
  expectLines(job(formats::kCompG4Wrap, 100, 3, lines(false, 0)), want);
}

TEST(CcittDecode, Group3TwoDimensionalTagBits) {
  BitWriter w;
  w.eol();
  w.bits("1");  // 1-D line
  w.run(false, 20);
  w.run(true, 5);
  w.run(false, 75);
  w.zeros(4);
  w.eol();
  w.bits("0");  // 2-D line
  w.mode(kModeVR1);
  w.mode(kModeV0);
  w.mode(kModeV0);
  expectLines(job(formats::kCompG3TwoD, 100, 2, w), {{20, 25, 100}, {21, 25, 100}});
}

TEST(CcittDecode, PackBitsPacketsAcrossRowsAndBuffers) {
  // Width 12 → 2 bytes a row. A repeat of 3 × 0xFF spans rows 1 and 2, -128 is skipped,
  // a literal of 3 bytes finishes row 2 and fills row 3.
  std::vector<std::uint8_t> data = {0xFE, 0xFF, 0x80, 0x02, 0x0F, 0xF0, 0x00};
  Job j;
  j.code = formats::kCompPackBits;
  j.width = 12;
  j.height = 3;
  j.strips = {data};
  expectLines(j, {{0, 12}, {0, 8, 12}, {0, 4, 12}});  // rows FF FF, FF 0F, F0 00
  // The last row's columns beyond the width do not count.
  j.code = formats::kCompUncompressed;
  j.strips = {{0x80, 0x0F, 0x00, 0x0F, 0xFF, 0xF0}};
  expectLines(j, {{0, 1, 12}, {12}, {0, 12}});
}

TEST(CcittDecode, ThinnedLinesAreBlankExceptEachGroupsFirst) {
  BitWriter w;
  for (int line = 0; line < 7; ++line) {
    w.mode(kModeHorizontal);
    w.run(false, 1 + line);
    w.run(true, 1);
    w.mode(kModeV0);
  }
  Job j = job(formats::kCompG4, 20, 7, w);
  j.thin = true;
  j.reduceFrom = 7;
  j.reduceTo = 3;  // groups 2, 3, 2
  expectLines(j, {{1, 2, 20}, {20}, {3, 4, 20}, {20}, {20}, {6, 7, 20}, {20}});
}

TEST(CcittDecode, StripsRestartWithWhiteReferenceAfterEofb) {
  BitWriter a;
  a.mode(kModeHorizontal);
  a.run(false, 2);
  a.run(true, 2);
  a.mode(kModeV0);
  a.mode(kModeV0);
  a.mode(kModeV0);
  a.mode(kModeV0);
  a.eol();
  a.eol();  // EOFB
  BitWriter b;
  b.mode(kModeV0);  // white against the imaginary white line, not against [2, 4, 30]
  Job j = job(formats::kCompG4, 30, 3, a);
  j.strips.push_back(b.bytes());
  expectLines(j, {{2, 4, 30}, {2, 4, 30}, {30}});
}

TEST(CcittDecode, DataEndingEarlyReportsNoMoreData) {
  BitWriter w;
  w.mode(kModeV0);
  expectLines(job(formats::kCompG4, 30, 5, w), {{30}}, kNoMoreData);
}

TEST(CcittDecode, RejectsBadParameters) {
  Job j = job(formats::kCompG4, 30, 5, BitWriter{});
  j.code = 5;
  EXPECT_EQ(runJob(j).result, kNoState);
  j.code = formats::kCompG4;
  j.firstCol = 30;  // empty region
  EXPECT_EQ(runJob(j).result, kNoState);
  j.firstCol = 0;
  j.listEntries = 31;  // smaller than region width + 2
  EXPECT_EQ(runJob(j).result, kNoState);
  DecoderState s;
  EXPECT_EQ(decodeLines(s), kNoState);
}

}  // namespace
}  // namespace hv::engine
