// hvtool render writes the same picture as PBM and as PNG (read back by
// netpbm's pngtopnm), and at 1:1 shows exactly the decoded drawing.
#include <gtest/gtest.h>

#include "tests/peers/peer_fixture.h"

namespace hv::peers {
namespace {

TEST(RenderPeer, PngAndPbmAgreeAndOneToOneIsTheDrawing) {
  if (hvtoolPath().empty()) GTEST_SKIP() << "hvtool is not built";
  const Variant* v = findVariant("g4_odd");
  ASSERT_NE(v, nullptr);
  if (std::string missing = missingProgram(v->programs); !missing.empty())
    GTEST_SKIP() << missing << " is missing";
  if (!hv::test::haveProgram("pngtopnm")) GTEST_SKIP() << "pngtopnm is missing";
  std::string error;
  std::string file = makeVariant(*v, error);
  ASSERT_FALSE(file.empty()) << error;
  hv::test::TempDir dir;
  for (const std::string args : {" --fit 300x200 --rotate 900 --invert", " --window 1001x777 --scale 1:1"}) {
    std::string cmd = "'" + hvtoolPath() + "' render '" + file + "' ";
    ASSERT_EQ(hv::test::runCommand(cmd + "'" + dir.file("a.pbm") + "'" + args), 0) << args;
    ASSERT_EQ(hv::test::runCommand(cmd + "'" + dir.file("a.png") + "'" + args), 0) << args;
    ASSERT_EQ(hv::test::runCommand("pngtopnm '" + dir.file("a.png") + "' > '" + dir.file("b.pbm") + "'"), 0);
    Bitmap a, b;
    ASSERT_TRUE(drawgen::readPbm(dir.file("a.pbm"), a));
    ASSERT_TRUE(drawgen::readPbm(dir.file("b.pbm"), b));
    EXPECT_EQ(drawgen::firstDifference(a, b), "") << args;
    if (args.find("1:1") != std::string::npos) {
      EXPECT_EQ(drawgen::firstDifference(a, expectedPicture(*v)), "");
    }
  }
}

}  // namespace
}  // namespace hv::peers
