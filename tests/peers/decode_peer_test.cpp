// Every file the peers make from a generated drawing decodes to the same
// pixels with hvtool as with the peer. The scaffolding test checks the peer
// side on its own: each file, decoded by its peer, is the picture expected
// from the generated drawing, which catches a recipe that silently changed
// the photometric, the fill order or the size.
#include <gtest/gtest.h>

#include "tests/peers/peer_fixture.h"

namespace hv::peers {
namespace {

std::vector<std::string> variantNames() {
  std::vector<std::string> names;
  for (const Variant& v : allVariants()) names.push_back(v.name);
  return names;
}

class PeerDecode : public ::testing::TestWithParam<std::string> {
 protected:
  // Makes the variant's file; skips when a peer is missing.
  std::string prepare() {
    variant_ = findVariant(GetParam());
    if (variant_ == nullptr) {
      ADD_FAILURE() << "unknown variant " << GetParam();
      return {};
    }
    const std::string missing = missingProgram(variant_->programs);
    if (!missing.empty()) {
      skipped_ = "peer program " + missing + " is not installed";
      return {};
    }
    std::string error;
    const std::string path = makeVariant(*variant_, error);
    if (path.empty()) ADD_FAILURE() << "cannot make " << variant_->name << ": " << error;
    return path;
  }

  const Variant* variant_ = nullptr;
  std::string skipped_;
};

TEST_P(PeerDecode, PeerShowsTheGeneratedDrawing) {
  const std::string path = prepare();
  if (!skipped_.empty()) GTEST_SKIP() << skipped_;
  ASSERT_FALSE(path.empty());
  Bitmap shown;
  const std::string error = decodeWithPeer(path, shown);
  ASSERT_EQ(error, "");
  EXPECT_EQ(drawgen::firstDifference(expectedPicture(*variant_), shown), "")
      << variant_->name << " (" << variant_->recipe << ")";
}

TEST_P(PeerDecode, HvtoolMatchesThePeerPixelForPixel) {
  if (hvtoolPath().empty()) GTEST_SKIP() << "hvtool is not part of this build yet";
  const std::string path = prepare();
  if (!skipped_.empty()) GTEST_SKIP() << skipped_;
  ASSERT_FALSE(path.empty());
  Bitmap byPeer, byHvtool;
  ASSERT_EQ(decodeWithPeer(path, byPeer), "");
  ASSERT_EQ(decodeWithHvtool(path, byHvtool), "");
  EXPECT_EQ(drawgen::firstDifference(byPeer, byHvtool), "")
      << variant_->name << " (peer vs hvtool; " << variant_->recipe << ")";
}

INSTANTIATE_TEST_SUITE_P(Peers, PeerDecode, ::testing::ValuesIn(variantNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return info.param;
                         });

TEST(PeerScaffolding, VariantsCoverEveryRequiredRecipe) {
  // The recipes the comparisons must include, each present at least once.
  const char* required[] = {"-c g3:1d ",    "-c g3:1d:fill", "-c g3:2d ",      "-c g3:2d:fill",
                            "-c g4 ",       "-c packbits",   "-c none",        "-f lsb2msb",
                            "-B ",          "-t -w 512 -l 512", "-r 64",        "fax2tiff",
                            "-minisblack",  "tiffset -s 262 1", "convert"};
  for (const char* r : required) {
    bool found = false;
    for (const Variant& v : allVariants()) found = found || v.recipe.find(r) != std::string::npos;
    EXPECT_TRUE(found) << r;
  }
  EXPECT_GT(drawing(Drawing::Wide).width, 16384u);
  EXPECT_EQ(drawing(Drawing::Fax).width, 1728u);
  EXPECT_NE(drawing(Drawing::Odd).width % 8, 0u);
}

TEST(PeerScaffolding, PeerDecodeFailureIsReportedNotHidden) {
  if (!missingProgram({"tifftopnm"}).empty()) GTEST_SKIP() << "tifftopnm is not installed";
  test::TempDir dir;
  test::writeFile(dir.file("bad.tif"), std::string("II*\0\x08\0\0\0\0\0", 10));
  Bitmap out;
  EXPECT_NE(decodeWithPeer(dir.file("bad.tif"), out), "");
}

}  // namespace
}  // namespace hv::peers
