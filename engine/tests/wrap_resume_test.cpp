// Continuous "wrap" rasters taken up again part-way: read from a point the
// reader kept, the lines that follow are the ones a reading from the start
// gives; an image handle keeps such points as it first reads the raster and
// repaints from them.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "engine/ccitt_wrap_raster.h"
#include "engine/decode_context.h"
#include "engine/image_handle.h"
#include "engine/image_save.h"
#include "engine/tests/encode_test_support.h"
#include "engine/tests/region_test_support.h"
#include "formats/image_file.h"
#include "tests/support/temp_dir.h"

namespace hv::engine {
namespace {

using test::Lines;

// Short runs, equal neighbours, and black runs that go on across one or many
// whole lines: the points a reader keeps then fall inside runs as well as
// between them.
Lines wrapDrawing(std::uint32_t width, std::uint32_t height, unsigned seed) {
  std::mt19937 rng(seed);
  Lines out;
  bool endsBlack = false;
  for (std::uint32_t y = 0; y < height; ++y) {
    std::vector<std::uint16_t> l;
    const unsigned kind = rng() % 6;
    if (kind == 0 && y > 0) {
      l.assign(out.back().begin(), out.back().end() - 1);
    } else if (kind == 1) {
      l = endsBlack ? std::vector<std::uint16_t>{0} : std::vector<std::uint16_t>{};  // one colour throughout
    } else {
      if (rng() % 2 == 0) l.push_back(0);
      for (std::uint32_t x = 1 + rng() % 30; x < width; x += 1 + rng() % (rng() % 4 == 0 ? 400 : 25))
        l.push_back(static_cast<std::uint16_t>(x));
    }
    endsBlack = l.size() % 2 == 1;
    l.push_back(static_cast<std::uint16_t>(width));
    out.push_back(std::move(l));
  }
  return out;
}

std::vector<std::uint8_t> wrapStream(const Lines& lines, std::uint32_t width) {
  ImageMemory* m = createImageMemory(1, width, static_cast<std::uint32_t>(lines.size()));
  for (std::uint32_t y = 0; y < lines.size(); ++y) EXPECT_EQ(putLineCopy(m, y, lines[y].data(), lines[y].size()), Status::Ok);
  auto bytes = test::reversedBits(test::encodeToBytes(m, formats::kCompG4Wrap));
  freeImageMemory(m);
  return bytes;
}

// Hands the stream out in small pieces, from wherever it was last placed.
struct PieceSource {
  const std::vector<std::uint8_t>* data;
  std::uint32_t pieceBytes;
  std::size_t given = 0;
  std::vector<std::uint8_t> piece = {};

  static bool next(void* user, const std::uint8_t** out, std::uint32_t* count) {
    auto& s = *static_cast<PieceSource*>(user);
    if (s.given >= s.data->size()) return false;
    const std::size_t n = std::min<std::size_t>(s.pieceBytes, s.data->size() - s.given);
    s.piece.assign(s.data->begin() + static_cast<std::ptrdiff_t>(s.given),
                   s.data->begin() + static_cast<std::ptrdiff_t>(s.given + n));
    s.given += n;
    *out = s.piece.data();
    *count = static_cast<std::uint32_t>(n);
    return true;
  }

  static bool seek(void* user, std::uint64_t byte) {
    auto& s = *static_cast<PieceSource*>(user);
    if (byte >= s.data->size()) return false;
    s.given = static_cast<std::size_t>(byte);
    return true;
  }
};

struct Collected {
  Lines lines;
  std::uint32_t first = 0;
};

WrapLineSink collector(Collected& c) {
  return WrapLineSink{[](void* u, std::uint32_t y, const std::uint16_t* l, std::uint32_t n) {
                        auto& c = *static_cast<Collected*>(u);
                        EXPECT_EQ(y, c.first + c.lines.size());
                        c.lines.emplace_back(l, l + n);
                        return true;
                      },
                      &c};
}

TEST(WrapResume, EveryKeptPointGoesOnExactlyAsTheReadingFromTheStart) {
  constexpr std::uint32_t kWidth = 700, kHeight = 90;
  const Lines drawing = wrapDrawing(kWidth, kHeight, 5);
  const auto stream = wrapStream(drawing, kWidth);
  for (std::uint32_t pieceBytes : {5u, 64u, 100000u}) {
    SCOPED_TRACE(testing::Message() << "pieces of " << pieceBytes);
    std::vector<WrapResumePoint> points;
    WrapRecorder keepAll{[](void*, std::uint32_t) { return true; },
                         [](void* u, const WrapResumePoint& p) {
                           static_cast<std::vector<WrapResumePoint>*>(u)->push_back(p);
                         },
                         &points};
    PieceSource whole{&stream, pieceBytes};
    Collected all;
    ASSERT_EQ(decodeWrapStream({PieceSource::next, PieceSource::seek, &whole}, kWidth, kHeight, collector(all), nullptr, &keepAll),
              hv::Status::Ok);
    ASSERT_EQ(all.lines, drawing);
    // A point is offered once for each line a0 reaches, never for one passed
    // inside a run.
    ASSERT_GE(points.size(), kHeight / 2);
    for (std::size_t i = 1; i < points.size(); ++i) ASSERT_GT(points[i].line, points[i - 1].line);
    for (const WrapResumePoint& p : points) {
      SCOPED_TRACE(testing::Message() << "point on line " << p.line << " bit " << p.bitPosition);
      PieceSource rest{&stream, pieceBytes};
      Collected after;
      after.first = p.line;
      ASSERT_EQ(decodeWrapStream({PieceSource::next, PieceSource::seek, &rest}, kWidth, kHeight, collector(after), &p, nullptr),
                hv::Status::Ok);
      ASSERT_EQ(after.lines, Lines(drawing.begin() + p.line, drawing.end()));
    }
  }
}

struct HandleCloser {
  void operator()(ImageHdl h) const { grxCloseImage(h); }
};
using Handle = std::unique_ptr<ImageHdlRec, HandleCloser>;

// The columns [first, end) of a full line, shifted to 0.
std::vector<std::uint16_t> clipped(const std::vector<std::uint16_t>& line, std::uint32_t first, std::uint32_t end) {
  std::vector<std::uint16_t> out;
  std::size_t i = 0;
  while (line[i] <= first && line[i] < end) ++i;
  if (i % 2 == 1) out.push_back(0);
  for (; line[i] < end; ++i) out.push_back(static_cast<std::uint16_t>(line[i] - first));
  out.push_back(static_cast<std::uint16_t>(end - first));
  return out;
}

TEST(WrapResume, HandleKeepsPointsAndRepaintsFromThemAnywhere) {
  constexpr std::uint32_t kWidth = 1200, kHeight = 700;
  const Lines drawing = wrapDrawing(kWidth, kHeight, 11);
  hv::test::TempDir dir;
  const std::string path = dir.file("wrap.tif");
  {
    int status = 0;
    Handle made(grxCreateImage(&status, kWidth, kHeight, 200, 200));
    ASSERT_NE(made, nullptr);
    for (std::uint32_t y = 0; y < kHeight; ++y)
      ASSERT_EQ(putLineCopy(made->memory, y, drawing[y].data(), drawing[y].size()), Status::Ok);
    ASSERT_EQ(grxSaveImage(nullptr, made.get(), path.c_str(), "TIFFGP4W", nullptr, 0, 0), 0);
  }
  Handle h(grxOpenImage(nullptr, path.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr));
  ASSERT_NE(h, nullptr);
  auto expect = [&](std::uint32_t first, std::uint32_t end, std::uint32_t left, std::uint32_t right) {
    SCOPED_TRACE(testing::Message() << "lines " << first << ".." << end << " columns " << left << ".." << right);
    Lines got = test::decode(h.get(), first, end, left, right);
    ASSERT_EQ(got.size(), end - first);
    for (std::uint32_t y = first; y < end; ++y) ASSERT_EQ(got[y - first], clipped(drawing[y], left, right));
  };
  // A first repaint part-way down starts the handle's points.
  expect(300, 340, 100, 900);
  const std::uint32_t spacing = formats::checkpointSpacing(kHeight);
  ASSERT_NE(h->wrapMarks, nullptr);
  // Every later region, before, at and after the kept points, is exact.
  for (std::uint32_t first : {0u, spacing - 1, spacing, spacing + 3, 10 * spacing + 5, kHeight - 50, kHeight - 1})
    expect(first, std::min(first + 50, kHeight), 0, kWidth);
  expect(kHeight - 120, kHeight, 517, 1200);
  // Loading reads it whole and equals the drawing line for line.
  ASSERT_EQ(grxLoadImageMemory(h.get(), nullptr), 1);
  EXPECT_EQ(test::memoryLines(h->memory), drawing);
}

}  // namespace
}  // namespace hv::engine
