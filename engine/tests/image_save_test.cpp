// grxSaveImage: argument checks, padding and its undoing, folders, atomic
// replacement, and open → save → reopen for every coding and photometric.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

#include "engine/grx_status.h"
#include "engine/image_save.h"
#include "engine/packed.h"
#include "engine/tests/encode_test_support.h"
#include "formats/file_manager.h"
#include "formats/tiff_tags.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tiff_builder.h"

namespace hv::engine {
namespace {

using test::Lines;

constexpr const char* kCodes[] = {"TIFFGP4", "TIFFGP3", "TIFFGP3T", "TIFFRAWM", "TIFFGP4W", "CAL1GP4 "};

struct Handle {
  ImageHdl h = nullptr;
  ~Handle() { grxCloseImage(h); }
};

Lines drawingLines(std::uint32_t width, std::uint32_t height) {
  Lines out;
  for (std::uint32_t y = 0; y < height; ++y) {
    std::vector<std::uint16_t> l;
    if (y % 7 == 0) l.push_back(0);
    for (std::uint32_t x = 5 + (y * 13) % 40; x + 3 < width; x += 17 + (y % 5)) {
      if (!l.empty() && l.back() >= x) continue;
      l.push_back(static_cast<std::uint16_t>(x));
    }
    if (y % 3 == 0 && l.size() % 2 == 0 && (l.empty() || l.back() < width - 1)) l.push_back(static_cast<std::uint16_t>(width - 1));
    l.push_back(static_cast<std::uint16_t>(width));
    out.push_back(l);
  }
  return out;
}

ImageHdl created(const Lines& lines, std::uint32_t width) {
  int status = 0;
  ImageHdl h = grxCreateImage(&status, width, static_cast<std::uint32_t>(lines.size()), 300, 300);
  for (std::uint32_t y = 0; h && y < lines.size(); ++y)
    EXPECT_EQ(putLineCopy(h->memory, y, lines[y].data(), lines[y].size()), Status::Ok);
  return h;
}

Lines reopened(const std::string& path) {
  Handle r{grxOpenImage(nullptr, path.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr)};
  if (r.h == nullptr || !grxLoadImageMemory(r.h, nullptr)) return {};
  return test::memoryLines(r.h->memory);
}

TEST(SaveImage, ArgumentsAreCheckedBeforeAnythingIsWritten) {
  hv::test::TempDir dir;
  const std::string out = dir.file("x.tif");
  EXPECT_EQ(grxSaveImage(nullptr, nullptr, out.c_str(), "TIFFGP4", nullptr, 0, 0), GRX_NO_HANDLE);
  Handle h{created(drawingLines(64, 8), 64)};
  EXPECT_EQ(grxSaveImage(nullptr, h.h, nullptr, "TIFFGP4", nullptr, 0, 0), GRX_BAD_ARGUMENT);
  EXPECT_EQ(grxSaveImage(nullptr, h.h, out.c_str(), nullptr, nullptr, 0, 0), GRX_BAD_ARGUMENT);
  for (const char* code : {"TIFFPBIT", "TIFFGP32", "CAL2RAWM", "EDM6GP3 ", "JUNK", "CAL1RAWM"})
    EXPECT_EQ(grxSaveImage(nullptr, h.h, out.c_str(), code, nullptr, 0, 0), GRX_BAD_FORMAT) << code;
  Handle f{created(drawingLines(64, 8), 64)};
  ASSERT_EQ(grxSaveImage(nullptr, f.h, out.c_str(), "TIFFGP4", nullptr, 0, 0), GRX_OK);
  Handle opened{grxOpenImage(nullptr, out.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr)};
  EXPECT_EQ(grxSaveImage(nullptr, opened.h, dir.file("y.tif").c_str(), "TIFFGP4", nullptr, 0, 0), GRX_NO_IMAGE_MEMORY);
  EXPECT_FALSE(std::filesystem::exists(dir.file("y.tif")));
}

TEST(SaveImage, EveryCodingReadsBackTheSamePicture) {
  hv::test::TempDir dir;
  const Lines lines = drawingLines(1001, 77);
  Handle h{created(lines, 1001)};
  for (const char* code : kCodes) {
    SCOPED_TRACE(code);
    const std::string out = dir.file(std::string("o_") + code);
    ASSERT_EQ(grxSaveImage(nullptr, h.h, out.c_str(), code, nullptr, 0, 0), GRX_OK);
    EXPECT_EQ(reopened(out), lines);
  }
  // Nothing but the files themselves is left in the folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 6);
}

// A min-is-black source (uncompressed and Group 4 alike) shows inverted data;
// saved and reopened it shows the same picture, not its negative.
TEST(SaveImage, MinIsBlackSourcesComeBackAsShown) {
  hv::test::TempDir dir;
  for (int raw = 0; raw < 2; ++raw) {
    const Lines lines = drawingLines(64, 16);
    Handle src{created(lines, 64)};
    // Write the negative with a min-is-black label: it shows as `lines`.
    ImageMemory* neg = createImageMemory(1, 64, 16);
    std::vector<std::uint16_t> buf(70);
    for (std::uint32_t y = 0; y < 16; ++y) {
      std::size_t n = invertList(lines[y].data(), 64, buf.data(), buf.size());
      ASSERT_EQ(putLineCopy(neg, y, buf.data(), n), Status::Ok);
    }
    const int code = raw ? formats::kCompUncompressed : formats::kCompG4;
    auto bytes = test::encodeToBytes(neg, code);
    freeImageMemory(neg);
    hv::test::TiffBuilder b(false);
    std::uint32_t at = b.addData(std::string(bytes.begin(), bytes.end()));
    b.shortTag(formats::kTiffImageWidth, {64})
        .shortTag(formats::kTiffImageLength, {16})
        .shortTag(formats::kTiffCompression, {raw ? formats::kTiffNoCompression : formats::kTiffGroup4})
        .shortTag(formats::kTiffPhotometric, {1});
    b.strips({at}, {static_cast<std::uint32_t>(bytes.size())});
    const std::string source = dir.file(raw ? "neg_raw.tif" : "neg_g4.tif");
    hv::test::writeFile(source, b.build());
    ASSERT_EQ(reopened(source), lines);
    Handle opened{grxOpenImage(nullptr, source.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr)};
    ASSERT_TRUE(grxLoadImageMemory(opened.h, nullptr));
    for (const char* c : kCodes) {
      SCOPED_TRACE(c);
      const std::string out = dir.file(std::string("s_") + c);
      ASSERT_EQ(grxSaveImage(nullptr, opened.h, out.c_str(), c, nullptr, 0, 0), GRX_OK);
      EXPECT_EQ(reopened(out), lines);
    }
  }
}

TEST(SaveImage, AlignmentPadsWhiteAndIsUndone) {
  hv::test::TempDir dir;
  const Lines lines = drawingLines(1001, 21);
  Handle h{created(lines, 1001)};
  const std::string out = dir.file("sub/dir/a.tif");  // folders are created
  ASSERT_EQ(grxSaveImage(nullptr, h.h, out.c_str(), "TIFFGP4", nullptr, 16, 8), GRX_OK);
  EXPECT_EQ(h.h->memory->width, 1001u);
  EXPECT_EQ(h.h->memory->height, 21u);
  EXPECT_EQ(test::memoryLines(h.h->memory), lines);
  Lines back = reopened(out);
  ASSERT_EQ(back.size(), 24u);
  for (std::uint32_t y = 0; y < 24; ++y) {
    std::vector<std::uint16_t> want = y < 21 ? lines[y] : std::vector<std::uint16_t>{1001};
    // A black run reaching the old edge ends there; the padding is white.
    if (want.size() % 2 == 0) {
      want.back() = 1001;
      want.push_back(1008);
    } else {
      want.back() = 1008;
    }
    EXPECT_EQ(back[y], want) << y;
  }
  // An alignment that cannot be represented fails and changes nothing.
  Handle wide{created(Lines(2, {65530}), 65530)};
  EXPECT_EQ(grxSaveImage(nullptr, wide.h, dir.file("w.tif").c_str(), "TIFFGP4", nullptr, 16, 0), GRX_ALIGN_FAILED);
  EXPECT_EQ(wide.h->memory->width, 65530u);
}

TEST(SaveImage, AFailedWriteLeavesTheOldFileAndNoTemporary) {
  hv::test::TempDir dir;
  const std::string out = dir.file("keep.tif");
  hv::test::writeFile(out, "old contents");
  Handle h{created(drawingLines(4000, 400), 4000)};
  // The file size limit makes every write past 4 kB fail (EFBIG).
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  int status = grxSaveImage(nullptr, h.h, out.c_str(), "TIFFRAWM", nullptr, 0, 0);
  setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_EQ(status, GRX_FAILED);
  EXPECT_EQ(hv::test::readFile(out), "old contents");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  // A target whose folder cannot be made fails the same way.
  EXPECT_EQ(grxSaveImage(nullptr, h.h, dir.file("keep.tif/x.tif").c_str(), "TIFFGP4", nullptr, 0, 0), GRX_FAILED);
}

}  // namespace
}  // namespace hv::engine
