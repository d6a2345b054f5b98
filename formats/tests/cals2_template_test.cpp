#include "formats/cals2_template.h"

#include <gtest/gtest.h>

#include "formats/fm_messages.h"
#include "tests/support/temp_dir.h"

namespace hv::formats {
namespace {

// Each fault of a template names itself through its own message number, and
// the malformed line comes back for the "Tag %s missing" message.
TEST(Cals2Template, FaultsNameTheirMessage) {
  std::vector<Cals2Node> tree;
  int message = 0;
  std::string bad;
  ASSERT_EQ(parseCals2Template("# doc\nC0 SEQ\n  C1 TILETYPES\n  C2 TILEDATA\n", tree, &message, &bad), Status::Ok);
  ASSERT_EQ(tree.size(), 1u);
  EXPECT_EQ(tree[0].children.size(), 2u);
  EXPECT_EQ(message, 0);

  EXPECT_EQ(parseCals2Template("C0 SEQ\n  C1 TILETYPES\n  X9 WHAT\n", tree, &message, &bad), Status::CodingError);
  EXPECT_EQ(message, kMsgTagMissing);
  EXPECT_EQ(bad, "  X9 WHAT");
  EXPECT_EQ(parseCals2Template("C0 SEQ\n  C2 TILEDATA\n", tree, &message), Status::CodingError);
  EXPECT_EQ(message, kMsgCopyNoTileTypes);
  EXPECT_EQ(parseCals2Template("C0 SEQ\n  C1 TILETYPES\n", tree, &message), Status::CodingError);
  EXPECT_EQ(message, kMsgCopyNoRaster);

  hv::test::TempDir dir;
  EXPECT_EQ(loadCals2Template(dir.file("missing.tpl"), tree), Status::ReadFailed);
}

}  // namespace
}  // namespace hv::formats
