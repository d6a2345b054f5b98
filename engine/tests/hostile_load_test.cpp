// Files that claim far more than they hold must load within memory in
// proportion to what they are, and end cleanly.
#include <gtest/gtest.h>

#include "engine/image_handle.h"
#include "engine/image_memory.h"
#include "formats/tiff_tags.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tiff_builder.h"

namespace hv::engine {
namespace {

TEST(HostileLoad, HugeSheetWithAFewBytesStaysSmall) {
  hv::test::TempDir dir;
  for (std::uint32_t compression :
       {formats::kTiffGroup3, formats::kTiffGroup4, formats::kTiffPackBits, formats::kTiffNoCompression}) {
    hv::test::TiffBuilder b;
    std::uint32_t at = b.addData(std::string("\xFF\x00\x13", 3));
    b.longTag(formats::kTiffImageWidth, {65535})
        .longTag(formats::kTiffImageLength, {65535})
        .shortTag(formats::kTiffCompression, {compression})
        .strips({at}, {3});
    hv::test::writeFile(dir.file("huge.tif"), b.build());
    ImageHdl h = grxOpenImage(nullptr, dir.file("huge.tif").c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
    ASSERT_NE(h, nullptr);
    (void)grxLoadImageMemory(h, nullptr);
    ASSERT_NE(h->memory, nullptr);
    EXPECT_LT(imageMemoryBytes(h->memory), 4u << 20) << "compression " << compression;
    grxCloseImage(h);
  }
}

TEST(HostileLoad, CheckerboardOfOnePixelRunsAtFullWidth) {
  // Uncompressed 0x55 bytes: a transition at every column of a 65528-pixel
  // line; the lists stay within the 16-bit columns.
  hv::test::TempDir dir;
  hv::test::TiffBuilder b;
  const std::uint32_t width = 65528, height = 4;
  std::string rows(static_cast<std::size_t>(width / 8) * height, '\x55');
  std::uint32_t at = b.addData(rows);
  b.longTag(formats::kTiffImageWidth, {width})
      .shortTag(formats::kTiffImageLength, {height})
      .shortTag(formats::kTiffCompression, {formats::kTiffNoCompression})
      .shortTag(formats::kTiffPhotometric, {0})
      .strips({at}, {static_cast<std::uint32_t>(rows.size())});
  hv::test::writeFile(dir.file("checker.tif"), b.build());
  ImageHdl h = grxOpenImage(nullptr, dir.file("checker.tif").c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
  ASSERT_NE(h, nullptr);
  ASSERT_EQ(grxLoadImageMemory(h, nullptr), 1);
  const Transition* line = getLine(h->memory, 3);
  EXPECT_EQ(listLength(line, width), width);  // a transition at columns 1..65527, then the terminator
  EXPECT_EQ(line[0], 1);
  EXPECT_EQ(line[width - 1], width);
  grxCloseImage(h);
}

}  // namespace
}  // namespace hv::engine
