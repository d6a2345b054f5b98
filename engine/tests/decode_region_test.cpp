#include <gtest/gtest.h>

#include <vector>

#include "engine/decode_context.h"
#include "engine/image_handle.h"
#include "engine/tests/region_test_support.h"
#include "formats/image_file.h"
#include "tests/support/temp_dir.h"

namespace hv::engine {
namespace {

using test::decode;
using test::Lines;

const std::string kSample = std::string(HV_SOURCE_DIR) + "/samples/sample-drawing.tif";

int validCheckpoints(const ImageHdl h) {
  int n = 0;
  for (const auto& cp : h->record->checkpoints) n += cp.valid;
  return n;
}

TEST(DecodeRegion, ResumingAtEveryCheckpointEqualsDecodingFromTheTop) {
  ImageHdl h = grxOpenImage(nullptr, kSample.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
  ASSERT_NE(h, nullptr);
  const std::uint32_t height = h->record->height;
  Lines all = decode(h, 0, height);
  ASSERT_EQ(all.size(), height);
  EXPECT_EQ(validCheckpoints(h), 31);
  const std::uint32_t spacing = formats::checkpointSpacing(height);
  for (std::uint32_t k = 1; k < 32; ++k) {
    for (std::uint32_t y : {k * spacing, k * spacing + 7}) {
      if (y >= height) continue;
      std::uint32_t end = std::min(height, y + 40);
      Lines part = decode(h, y, end);
      ASSERT_EQ(part.size(), end - y);
      for (std::uint32_t i = 0; i < part.size(); ++i) ASSERT_EQ(part[i], all[y + i]) << "line " << y + i;
    }
  }
  grxCloseImage(h);
}

TEST(DecodeRegion, ColumnsAreClippedAndShifted) {
  ImageHdl h = grxOpenImage(nullptr, kSample.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
  ASSERT_NE(h, nullptr);
  Lines all = decode(h, 0, 400);
  Lines part = decode(h, 100, 300, 1000, 1500);
  ASSERT_EQ(part.size(), 200u);
  for (std::uint32_t i = 0; i < part.size(); ++i) {
    // Reference clip of the full line.
    std::vector<std::uint16_t> expect;
    bool black = false;
    for (std::uint16_t c : all[100 + i]) {
      if (c >= h->record->width) break;
      if (c <= 1000) {
        black = !black;
        continue;
      }
      if (expect.empty() && black) expect.push_back(0);
      if (c >= 1500) break;
      expect.push_back(static_cast<std::uint16_t>(c - 1000));
      black = !black;
    }
    if (expect.empty() && black) expect.push_back(0);
    expect.push_back(500);
    ASSERT_EQ(part[i], expect) << "line " << 100 + i;
  }
  grxCloseImage(h);
}

TEST(DecodeRegion, MultiStripFilesStartAtTheirStripOrCheckpoint) {
  if (!hv::test::haveProgram("tiffcp")) GTEST_SKIP() << "tiffcp missing";
  hv::test::TempDir dir;
  for (const char* coding : {"g4", "g3:2d", "g3:1d", "packbits", "none"}) {
    std::string path = dir.file(std::string("strips-") + coding + ".tif");
    ASSERT_EQ(hv::test::runCommand("tiffcp -c " + std::string(coding) + " -r 100 " + kSample + " " + path), 0);
    ImageHdl h = grxOpenImage(nullptr, path.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
    ASSERT_NE(h, nullptr);
    const std::uint32_t height = h->record->height;
    Lines all = decode(h, 0, height);
    ASSERT_EQ(all.size(), height) << coding;
    for (std::uint32_t y : {0u, 99u, 100u, 137u, 1999u, 2250u, height - 1}) {
      Lines part = decode(h, y, std::min(height, y + 30));
      ASSERT_FALSE(part.empty());
      for (std::uint32_t i = 0; i < part.size(); ++i)
        ASSERT_EQ(part[i], all[y + i]) << coding << " line " << y + i;
    }
    grxCloseImage(h);
  }
}

}  // namespace
}  // namespace hv::engine
