// Rendering equals the reference view computed from the drawing, pixel for
// pixel: every zoom step of both tables, the four rotations, inversion, from
// the file and from image memory, for Group 4 strips, Group 4 tiles,
// uncompressed and PackBits data.
#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "engine/display.h"
#include "engine/display_math.h"
#include "engine/display_surface.h"
#include "engine/render_scaler.h"
#include "engine/tests/render_test_support.h"

namespace hv::engine {
namespace {

using test::Bitmap;

// Collects bands into a bitmap and records the largest band handed over.
struct Canvas {
  Bitmap picture;
  std::size_t largestBand = 0;
  int bands = 0;
  GrxDevice device{[](void* user, const GrxBand& b) {
                     auto* c = static_cast<Canvas*>(user);
                     ++c->bands;
                     c->largestBand = std::max(c->largestBand, std::size_t(b.rowBytes) * std::size_t(b.height));
                     for (std::int32_t y = 0; y < b.height; ++y)
                       for (std::int32_t x = 0; x < b.width; ++x) {
                         std::uint32_t bit = b.skip + std::uint32_t(x);
                         if ((b.bits[std::size_t(y) * b.rowBytes + bit / 8] >> (7 - bit % 8)) & 1)
                           c->picture.set(std::uint32_t(b.left + x), std::uint32_t(b.top + y));
                       }
                   },
                   nullptr};
  Canvas(std::uint32_t w, std::uint32_t h) : picture(w, h) { device.user = this; }
};

struct Source {
  std::string name;
  std::string path;
};

class RenderTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new hv::test::TempDir();
    drawing_ = new Bitmap(test::testDrawing(77, 53, 5));
    sources_ = new std::vector<Source>();
    hv::test::writeFile(dir_->file("raw.tif"), test::rawTiff(*drawing_, false));
    hv::test::writeFile(dir_->file("raw-minisblack.tif"), test::rawTiff(*drawing_, true));
    sources_->push_back({"uncompressed", dir_->file("raw.tif")});
    sources_->push_back({"uncompressed min-is-black", dir_->file("raw-minisblack.tif")});
    for (const char* coding : {"g4", "packbits", "g4tiled"}) {
      std::string path = test::recodedTiff(*dir_, "d", *drawing_, coding);
      if (!path.empty()) sources_->push_back({coding, path});
    }
  }
  static void TearDownTestSuite() {
    delete sources_;
    delete drawing_;
    delete dir_;
  }

  static hv::test::TempDir* dir_;
  static Bitmap* drawing_;
  static std::vector<Source>* sources_;
};
hv::test::TempDir* RenderTest::dir_ = nullptr;
Bitmap* RenderTest::drawing_ = nullptr;
std::vector<Source>* RenderTest::sources_ = nullptr;

// Renders the whole image and returns the picture.
int renderWhole(ImageHdl h, const std::uint8_t scale[4], int rotation, Bitmap& out, int lineMode = 0) {
  std::uint32_t W = toDisplay(h->record->width, scale[0], scale[1]);
  std::uint32_t H = toDisplay(h->record->height, scale[2], scale[3]);
  if (swapsAxes(rotation)) std::swap(W, H);
  Canvas canvas(W, H);
  GrxBlitTarget target{&canvas.device, nullptr};
  GrxRect display{0, 0, std::int32_t(W), std::int32_t(H)};
  GrxRect image{0, 0, std::int32_t(h->record->width), std::int32_t(h->record->height)};
  int status = grxRenderRect(&target, &display, h, &image, scale, rotation, lineMode, nullptr);
  EXPECT_LE(canvas.largestBand, kMaxBandBytes);
  out = canvas.picture;
  return status;
}

std::vector<std::pair<std::uint8_t, std::uint8_t>> allZoomEntries() {
  std::set<std::pair<std::uint8_t, std::uint8_t>> seen;
  std::vector<std::pair<std::uint8_t, std::uint8_t>> out;
  for (auto table : {fineZoomTable(), stepZoomTable()})
    for (const ZoomStep& s : table)
      if (seen.insert({s.n, s.d}).second) out.push_back({s.n, s.d});
  return out;
}

TEST_F(RenderTest, EveryZoomEntryFromFileAndMemoryEqualsTheReference) {
  ASSERT_GE(sources_->size(), 5u) << "tiffcp is needed for the Group 4 and PackBits variants";
  auto entries = allZoomEntries();
  for (const Source& src : *sources_) {
    for (bool memory : {false, true}) {
      ImageHdl h = grxOpenImage(nullptr, src.path.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
      ASSERT_NE(h, nullptr) << src.name;
      if (memory) {
        ASSERT_EQ(grxUseImageMemory(h), 1);
      }
      for (std::size_t i = 0; i < entries.size(); ++i) {
        std::uint8_t scale[4] = {entries[i].second, entries[i].first, entries[i].second, entries[i].first};
        int rotation = int(i % 4) * 900;  // every rotation meets every kind of scale
        Bitmap got;
        ASSERT_EQ(renderWhole(h, scale, rotation, got), GRX_RENDER_DONE);
        Bitmap want = test::referenceView(*drawing_, scale, rotation, false);
        ASSERT_EQ(drawgen::firstDifference(got, want), "")
            << src.name << (memory ? " from memory" : " from file") << " at " << int(scale[1]) << "/"
            << int(scale[0]) << " rotation " << rotation;
      }
      grxCloseImage(h);
    }
  }
}

TEST_F(RenderTest, RotationsInversionAndUnequalScalesInBothLineModes) {
  ASSERT_FALSE(sources_->empty());
  const std::uint8_t scales[][4] = {{1, 1, 1, 1}, {1, 3, 2, 5}, {5, 2, 1, 4}, {1, 7, 3, 1}, {10, 1, 10, 1}};
  for (const Source& src : *sources_) {
    ImageHdl h = grxOpenImage(nullptr, src.path.c_str(), GRX_OPEN_ONE_TO_ONE | GRX_OPEN_INVERT, nullptr);
    ASSERT_NE(h, nullptr);
    for (const auto& scale : scales)
      for (int rotation : {0, 900, 1800, 2700, -900, 3600 + 1800})
        for (int mode : {GRX_LINES_AUTOMATIC, GRX_LINES_PACKED}) {
          Bitmap got;
          ASSERT_EQ(renderWhole(h, scale, rotation, got, mode), GRX_RENDER_DONE);
          ASSERT_EQ(drawgen::firstDifference(got, test::referenceView(*drawing_, scale, rotation, true)), "")
              << src.name << " scale " << int(scale[1]) << "/" << int(scale[0]) << "," << int(scale[3]) << "/"
              << int(scale[2]) << " rotation " << rotation << " mode " << mode;
        }
    grxCloseImage(h);
  }
}

TEST_F(RenderTest, FastReductionKeepsTheFirstLineOfEachGroup) {
  ImageHdl h = grxOpenImage(nullptr, sources_->front().path.c_str(), GRX_OPEN_ONE_TO_ONE | GRX_OPEN_FAST_REDUCTION,
                            nullptr);
  ASSERT_NE(h, nullptr);
  std::uint8_t scale[4] = {1, 3, 1, 3};
  Bitmap got;
  ASSERT_EQ(renderWhole(h, scale, 0, got), GRX_RENDER_DONE);
  Bitmap thinned(drawing_->width, drawing_->height);
  for (std::uint32_t y = 0; y < drawing_->height; y += 3)
    for (std::uint32_t x = 0; x < drawing_->width; ++x)
      if (drawing_->get(x, y)) thinned.set(x, y);
  EXPECT_EQ(drawgen::firstDifference(got, test::referenceView(thinned, scale, 0, false)), "");
  grxCloseImage(h);
}

// A window smaller than the view, scrolled to many places and painted in
// pieces, shows exactly the part of the reference view under it.
TEST_F(RenderTest, PaintingScrolledWindowsInPiecesShowsTheViewUnderThem) {
  const std::uint8_t scales[][4] = {{1, 1, 1, 1}, {1, 3, 1, 3}, {3, 2, 3, 2}, {2, 3, 2, 3}, {4, 1, 4, 1}};
  for (std::size_t si = 0; si < 2 && si < sources_->size(); ++si) {
    const Source& src = (*sources_)[si == 0 ? 0 : sources_->size() - 1];
    ImageHdl h = grxOpenImage(nullptr, src.path.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
    ASSERT_NE(h, nullptr);
    h->scrollBars = 0;
    for (const auto& scale : scales)
      for (int rotation : {0, 900, 1800, 2700}) {
        Bitmap view = test::referenceView(*drawing_, scale, rotation, false);
        for (std::int32_t sy : {0, 1, 7, 20})
          for (std::int32_t sx : {0, 3, 11, 30}) {
            MemoryWindow window(31, 23);
            DisplayState& s = *h->current;
            std::copy(scale, scale + 4, s.scale);
            s.rotation = rotation;
            s.displayX = sx;
            s.displayY = sy;
            for (GrxRect piece : {GrxRect{0, 0, 13, 9}, GrxRect{13, 0, 31, 9}, GrxRect{0, 9, 31, 23}})
              ASSERT_EQ(grxDisplayImage(&window, nullptr, &piece, h), 0);
            const Bitmap got = test::pictureOf(window, 31, 23);
            ASSERT_EQ(drawgen::firstDifference(got, test::crop(view, sx, sy, 31, 23)), "")
                << src.name << " scale " << int(scale[1]) << "/" << int(scale[0]) << " rotation " << rotation
                << " scroll " << sx << "," << sy;
          }
      }
    grxCloseImage(h);
  }
}

TEST_F(RenderTest, ArgumentsRotationAndEmptyRectangles) {
  ImageHdl h = grxOpenImage(nullptr, sources_->front().path.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
  ASSERT_NE(h, nullptr);
  Canvas canvas(10, 10);
  GrxBlitTarget target{&canvas.device, nullptr};
  GrxRect display{0, 0, 10, 10}, image{0, 0, 10, 10}, beyond{200, 0, 300, 10};
  std::uint8_t one[4] = {1, 1, 1, 1}, zero[4] = {1, 0, 1, 1};
  EXPECT_EQ(grxRenderRect(&target, &display, h, &image, one, 450, 0, nullptr), GRX_RENDER_BAD_ROTATION);
  EXPECT_EQ(grxRenderRect(&target, &display, nullptr, &image, one, 0, 0, nullptr), -2);
  EXPECT_EQ(grxRenderRect(&target, &display, h, &image, zero, 0, 0, nullptr), -3);
  EXPECT_EQ(grxRenderRect(nullptr, &display, h, &image, one, 0, 0, nullptr), -3);
  EXPECT_EQ(grxRenderRect(&target, &display, h, &beyond, one, 0, 0, nullptr), GRX_RENDER_DONE);
  EXPECT_EQ(canvas.bands, 0);
  grxCloseImage(h);
}

TEST_F(RenderTest, AProgressCallbackAnsweringZeroStopsAfterTheFirstBand) {
  ImageHdl h = grxOpenImage(nullptr, sources_->front().path.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
  ASSERT_NE(h, nullptr);
  // At 1/10 the view is 770 x 530: a band of 98304 bytes holds 96 rows.
  std::uint8_t scale[4] = {10, 1, 10, 1};
  Canvas canvas(770, 530);
  GrxBlitTarget target{&canvas.device, nullptr};
  GrxRect display{0, 0, 770, 530}, image{0, 0, 77, 53};
  static int calls;
  calls = 0;
  auto stop = [](int stage, int, long done, long total) {
    ++calls;
    EXPECT_EQ(stage, GRX_PROGRESS_RENDER);
    EXPECT_GT(done, 0);
    EXPECT_EQ(total, 100);
    return 0;
  };
  EXPECT_EQ(grxRenderRect(&target, &display, h, &image, scale, 0, 0, stop), GRX_RENDER_STOPPED);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(canvas.bands, 1);
  grxCloseImage(h);
}

}  // namespace
}  // namespace hv::engine
