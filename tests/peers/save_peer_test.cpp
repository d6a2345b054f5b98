// Saving: every file the peers make, converted by hvtool into each coding the
// engine writes, shows the same picture as its source, to the peers (libtiff's
// tools for TIFF, ImageMagick for CALS Type 1) and to our own reader. Sources
// of every coding and photometric value are covered, so a saved drawing
// never comes back inverted.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/peers/peer_fixture.h"

namespace hv::peers {
namespace {

struct SaveTarget {
  const char* code;
  const char* ext;
  bool libtiffDecodes;  // libtiff has no codec for the private Group 4 wrap coding
};

constexpr SaveTarget kTargets[] = {
    {"TIFFGP4", ".tif", true},  {"TIFFGP3", ".tif", true},  {"TIFFGP3T", ".tif", true},
    {"TIFFRAWM", ".tif", true}, {"TIFFGP4W", ".tif", false}, {"CAL1GP4", ".cal", false},
};

std::vector<std::string> variantNames() {
  std::vector<std::string> names;
  for (const Variant& v : allVariants()) names.push_back(v.name);
  return names;
}

std::string readText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class SavePeer : public ::testing::TestWithParam<std::string> {};

TEST_P(SavePeer, EverySavedCodingShowsTheSourcePicture) {
  if (hvtoolPath().empty()) GTEST_SKIP() << "hvtool is not part of this build";
  const Variant* v = findVariant(GetParam());
  ASSERT_NE(v, nullptr);
  std::vector<std::string> programs = v->programs;
  for (const char* p : {"tiffinfo", "tiffcp", "tifftopnm", "convert"}) programs.push_back(p);
  if (std::string missing = missingProgram(programs); !missing.empty())
    GTEST_SKIP() << "peer program " << missing << " is not installed";
  std::string error;
  const std::string source = makeVariant(*v, error);
  ASSERT_FALSE(source.empty()) << error;
  const Bitmap want = expectedPicture(*v);
  test::TempDir dir;
  for (const SaveTarget& t : kTargets) {
    SCOPED_TRACE(t.code);
    const std::string out = dir.path() + v->name + "_" + t.code + t.ext;
    ASSERT_EQ(test::runCommand("'" + hvtoolPath() + "' convert '" + source + "' '" + out + "' --to " + t.code), 0);
    Bitmap ours;
    ASSERT_EQ(decodeWithHvtool(out, ours), "");
    EXPECT_TRUE(ours == want) << "our reader differs";
    if (t.ext == std::string(".cal")) {
      Bitmap peer;
      ASSERT_EQ(decodeWithPeer(out, peer), "");
      EXPECT_TRUE(peer == want) << "ImageMagick differs";
      continue;
    }
    // tiffinfo reads the directory (and, with -D, the strip data) without a
    // word on standard error.
    const std::string log = dir.file("tiffinfo.err");
    std::string cmd = std::string("tiffinfo ") + (t.libtiffDecodes ? "-D " : "") + "'" + out + "' >/dev/null 2>'" +
                      log + "'";
    EXPECT_EQ(test::runCommand(cmd), 0);
    EXPECT_EQ(readText(log), "") << "tiffinfo warned";
    if (!t.libtiffDecodes) continue;
    Bitmap peer;
    ASSERT_EQ(decodeWithPeer(out, peer), "");
    EXPECT_TRUE(peer == want) << "tifftopnm differs";
    const std::string copy = dir.file("copy.tif");
    EXPECT_EQ(test::runCommand("tiffcp -c none '" + out + "' '" + copy + "' 2>'" + log + "'"), 0);
    EXPECT_EQ(readText(log), "") << "tiffcp warned";
  }
}

INSTANTIATE_TEST_SUITE_P(Peers, SavePeer, ::testing::ValuesIn(variantNames()),
                         [](const ::testing::TestParamInfo<std::string>& i) { return i.param; });

}  // namespace
}  // namespace hv::peers
