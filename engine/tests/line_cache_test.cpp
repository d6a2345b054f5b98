// Views at 1:1 and magnified keep their decoded lines between repaints. What
// they draw must not depend on it: every step of a scrolling walk over a
// drawing (small steps each way, a step that leaves the kept lines upwards,
// jumps) is compared with the drawing itself and with the render that
// decodes afresh, also on data that breaks off with a coding error.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/display.h"
#include "engine/display_surface.h"
#include "engine/line_cache.h"
#include "engine/tests/region_test_support.h"
#include "engine/tests/render_test_support.h"

namespace hv::engine {
namespace {

struct Step {
  std::int32_t left, top;
};

// The rows blitted, and the picture they made.
struct Rendered {
  int status = 0;
  long rows = 0;
  drawgen::Bitmap picture;
};

Rendered render(ImageHdl h, const GrxRect& image, const std::uint8_t scale[4], int rotation, int lineMode) {
  const std::int32_t w = (image.right - image.left) * scale[0] / scale[1];
  const std::int32_t ht = (image.bottom - image.top) * scale[2] / scale[3];
  const bool turned = rotation == 900 || rotation == 2700;
  MemoryWindow window(turned ? ht : w, turned ? w : ht);
  test::BandCheck check(&window);
  GrxBlitTarget target{&check.device, nullptr};
  GrxRect display{0, 0, turned ? ht : w, turned ? w : ht};
  Rendered r;
  r.status = grxRenderRect(&target, &display, h, &image, scale, rotation, lineMode, nullptr);
  r.rows = check.rows;
  r.picture = test::pictureOf(window, std::uint32_t(display.right), std::uint32_t(display.bottom));
  return r;
}

bool same(const drawgen::Bitmap& a, const drawgen::Bitmap& b) {
  return a.width == b.width && a.height == b.height && a.bits == b.bits;
}

// A walk of a 240 x 180 window over the image: a few lines and columns at a
// time each way, up past the lines kept, then jumps across the image.
std::vector<Step> walk(std::int32_t width, std::int32_t height) {
  std::vector<Step> steps;
  std::int32_t x = width / 3, y = height / 2;
  auto add = [&](std::int32_t dx, std::int32_t dy, int times) {
    for (int i = 0; i < times; ++i) {
      x = std::clamp(x + dx, 0, width - 240);
      y = std::clamp(y + dy, 0, height - 180);
      steps.push_back({x, y});
    }
  };
  add(0, 0, 1);
  add(0, 16, 6);
  add(16, 0, 4);
  add(0, -16, 24);
  add(-16, 0, 3);
  add(0, 180, 3);
  steps.push_back({0, 0});
  steps.push_back({width - 240, height - 180});
  steps.push_back({width / 2, 3});
  add(0, 1, 5);
  return steps;
}

class LineCacheWalk : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!hv::test::haveProgram("tiffcp")) GTEST_SKIP() << "tiffcp is needed";
    drawing_ = test::testDrawing(900, 1400, 21);
    path_ = test::recodedTiff(dir_, "walk", drawing_, "g4");
    ASSERT_FALSE(path_.empty());
  }
  hv::test::TempDir dir_;
  drawgen::Bitmap drawing_;
  std::string path_;
};

TEST_F(LineCacheWalk, EveryStepAtOneToOneAndMagnifiedShowsTheDrawing) {
  ImageHdl h = grxOpenImage(nullptr, path_.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
  ASSERT_NE(h, nullptr);
  const std::uint8_t one[4] = {1, 1, 1, 1}, twice[4] = {2, 1, 2, 1};
  for (const Step& s : walk(900, 1400)) {
    GrxRect image{s.left, s.top, s.left + 240, s.top + 180};
    Rendered r = render(h, image, one, 0, GRX_LINES_AUTOMATIC);
    ASSERT_EQ(r.status, GRX_RENDER_DONE);
    ASSERT_TRUE(same(r.picture, test::crop(drawing_, s.left, s.top, 240, 180))) << "1:1 at " << s.left << "," << s.top;
    // The same place magnified and turned, half the size in image pixels.
    GrxRect half{s.left, s.top, s.left + 120, s.top + 90};
    Rendered m = render(h, half, twice, 900, GRX_LINES_AUTOMATIC);
    ASSERT_EQ(m.status, GRX_RENDER_DONE);
    drawgen::Bitmap part = test::crop(drawing_, s.left, s.top, 120, 90);
    ASSERT_TRUE(same(m.picture, test::referenceView(part, twice, 900, false))) << "2:1 at " << s.left << "," << s.top;
    ASSERT_NE(h->lineCache, nullptr);
    EXPECT_LE(h->lineCache->bytes(), kLineCacheBytes);
  }
  grxCloseImage(h);
}

TEST_F(LineCacheWalk, BrokenDataEndsEveryStepWhereTheFreshDecodeEndsIt) {
  std::string bytes = hv::test::readFile(path_);
  // tiffcp puts the strips right after the 8-byte header and the directory
  // last: zero bytes two thirds of the way down are no valid code.
  std::size_t at = 8 + (bytes.size() - 8 - 400) * 2 / 3;
  for (std::size_t i = 0; i < 48; ++i) bytes[at + i] = 0;
  hv::test::writeFile(path_, bytes);
  ImageHdl cached = grxOpenImage(nullptr, path_.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
  ImageHdl fresh = grxOpenImage(nullptr, path_.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
  ASSERT_NE(cached, nullptr);
  ASSERT_NE(fresh, nullptr);
  const std::uint8_t one[4] = {1, 1, 1, 1};
  int errors = 0;
  for (const Step& s : walk(900, 1400)) {
    GrxRect image{s.left, s.top, s.left + 240, s.top + 180};
    Rendered a = render(cached, image, one, 0, GRX_LINES_AUTOMATIC);
    Rendered b = render(fresh, image, one, 0, GRX_LINES_PACKED);
    ASSERT_EQ(a.status, b.status) << "at " << s.left << "," << s.top;
    ASSERT_EQ(a.rows, b.rows) << "at " << s.left << "," << s.top;
    ASSERT_TRUE(same(a.picture, b.picture)) << "at " << s.left << "," << s.top;
    errors += a.status == GRX_RENDER_DECODE_ERROR;
  }
  EXPECT_GT(errors, 0) << "the walk never reached the broken data";
  grxCloseImage(cached);
  grxCloseImage(fresh);
}

// Lines of a full-width checkerboard take 128 KiB each as lists: the lines a
// view shows cannot be held, and are decoded afresh every time.
TEST(LineCacheBound, LinesTooManyToHoldAreDecodedAfreshAndNeverKept) {
  if (!hv::test::haveProgram("tiffcp")) GTEST_SKIP() << "tiffcp is needed";
  hv::test::TempDir dir;
  const std::uint32_t W = 65535, H = 48;
  drawgen::Bitmap board(W, H);
  for (std::uint32_t y = 0; y < H; ++y)
    for (std::uint32_t x = y % 2; x < W; x += 2) board.set(x, y);
  std::string path = test::recodedTiff(dir, "board", board, "g4");
  ASSERT_FALSE(path.empty());
  ImageHdl h = grxOpenImage(nullptr, path.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
  ASSERT_NE(h, nullptr);
  const std::uint8_t one[4] = {1, 1, 1, 1};
  for (std::int32_t left : {0, 16, 65000}) {
    GrxRect image{left, 0, left + 500, std::int32_t(H)};
    Rendered r = render(h, image, one, 0, GRX_LINES_AUTOMATIC);
    ASSERT_EQ(r.status, GRX_RENDER_DONE);
    ASSERT_TRUE(same(r.picture, test::crop(board, left, 0, 500, H))) << "at column " << left;
    ASSERT_NE(h->lineCache, nullptr);
    EXPECT_LE(h->lineCache->bytes(), kLineCacheBytes);
  }
  grxCloseImage(h);
}

// The decoder that keeps its place delivers, over several calls, what one
// region decode delivers, also when other decodes of the same file run
// between its calls.
TEST_F(LineCacheWalk, AResumedDecoderDeliversTheLinesOfOneRegion) {
  ImageHdl h = grxOpenImage(nullptr, path_.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
  ASSERT_NE(h, nullptr);
  test::Lines whole = test::decode(h, 300, 1000);
  StripRowDecoder rows;
  ASSERT_TRUE(rows.open(h, 300));
  test::Lines pieces;
  LineSink sink{[](void* u, std::uint32_t, const std::uint16_t* list, const std::uint8_t*) {
                  std::size_t n = 0;
                  while (list[n] < 900) ++n;
                  static_cast<test::Lines*>(u)->emplace_back(list, list + n + 1);
                  return true;
                },
                &pieces};
  for (std::uint32_t end : {301u, 364u, 365u, 700u, 1000u}) {
    ASSERT_EQ(rows.advance(end, sink).status, Status::Ok);
    EXPECT_EQ(rows.nextLine(), end);
    (void)test::decode(h, 1200, 1210);  // moves the file's reader elsewhere
  }
  EXPECT_EQ(pieces, whole);
  grxCloseImage(h);
}

}  // namespace
}  // namespace hv::engine
