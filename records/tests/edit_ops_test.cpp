#include "records/edit_ops.h"

#include <climits>
#include <cstring>

#include <gtest/gtest.h>

#include "records/tests/record_test_util.h"

namespace hv::records {
namespace {

using Ops = CHVEditOps::REC_EDIT_OPS;

std::string history(const RecordHollerith& r) { return std::string(r.bytes + 82, 10); }

TEST(EditHistory, ReadsFlagsAndOnlyWholeDigitPairs) {
  RecordHollerith r = test::hollRecord({{82, "B7R 4M12HZ"}});
  Ops ops;
  CHVEditOps::editops_HollRecToEditOp(&r, &ops);
  EXPECT_EQ(ops.bipStamped, 1);
  EXPECT_EQ(ops.blipsBurned, 7);
  EXPECT_EQ(ops.rotated, 1);
  EXPECT_EQ(ops.sheetsExtracted, 0);  // blank and digit
  EXPECT_EQ(ops.mirrored, 1);
  EXPECT_EQ(ops.erasures, 12);
  EXPECT_EQ(ops.hollEdited, 1);
  EXPECT_EQ(ops.cropped, 1);
  RecordHollerith blank = test::hollRecord({});
  CHVEditOps::editops_HollRecToEditOp(&blank, &ops);
  const Ops empty{};
  EXPECT_EQ(std::memcmp(&ops, &empty, sizeof ops), 0);
}

TEST(EditHistory, WritesLimitsAndTheCompanionByte) {
  RecordHollerith r = test::hollRecord({{92, "ABCDEFGH"}});
  Ops ops{};
  CHVEditOps::editops_EditOpToHollRec(&ops, &r);
  EXPECT_EQ(history(r), " 0 00 00  ");
  EXPECT_EQ(r.bytes[97], 'F');  // untouched without the BIP flag
  ops = Ops{1, 15, 1, 150, 1, 7, 1, 1};
  CHVEditOps::editops_EditOpToHollRec(&ops, &r);
  EXPECT_EQ(history(r), "B1R99M07HZ");
  EXPECT_EQ(ops.sheetsExtracted, 99);
  EXPECT_EQ(ops.blipsBurned, 15);
  EXPECT_EQ(r.bytes[97], ' ');
  EXPECT_EQ(std::string(r.bytes + 92, 5), "ABCDE");
  JedmicsHollRec j;
  ASSERT_EQ(jmxholl_InitRecord(&j), 1);
  j.bytes[1050] = 'q';
  ops.erasures = -4;
  CHVEditOps::editops_EditOpToJmxRec(&ops, &j);
  EXPECT_EQ(std::string(j.bytes + 1038, 10), "B1R99M00HZ");
  EXPECT_EQ(j.bytes[1050], ' ');
  Ops back;
  CHVEditOps::editops_JmxRecToEditOp(&j, &back);
  EXPECT_EQ(back.sheetsExtracted, 99);
  CHVEditOps::editops_EditOpToHollRec(nullptr, &r);
  CHVEditOps::editops_EditOpToHollRec(&ops, nullptr);
}

TEST(EditHistory, CountsOperationsWithoutOverflow) {
  Ops ops{};
  for (int op : {1, 2, 2, 3, 5, 6, 7, 8, 9, 0, 10, -1}) CHVEditOps::editops_EditOpOccurred(&ops, op, 0);
  CHVEditOps::editops_EditOpOccurred(&ops, CHVEditOps::EditOpExtractSheets, 3);
  Ops want{1, 2, 1, 3, 1, 2, 1, 1};
  EXPECT_EQ(std::memcmp(&ops, &want, sizeof ops), 0);
  CHVEditOps::editops_EditOpOccurred(&ops, CHVEditOps::EditOpExtractSheets, INT_MAX);
  EXPECT_EQ(ops.sheetsExtracted, INT32_MAX);
}

}  // namespace
}  // namespace hv::records
