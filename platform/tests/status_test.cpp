#include <gtest/gtest.h>

#include <cstring>

#include "platform/status.h"

namespace {

using hv::Result;
using hv::Status;

TEST(Result, HoldsEitherAValueOrTheReasonThereIsNone) {
  Result<long> found = 42L;
  EXPECT_TRUE(found.ok());
  EXPECT_EQ(found.status(), Status::Ok);
  EXPECT_EQ(found.value(), 42);
  EXPECT_EQ(found.valueOr(-1), 42);

  Result<long> missing = Status::NotFound;
  EXPECT_FALSE(missing);
  EXPECT_EQ(missing.status(), Status::NotFound);
  EXPECT_EQ(missing.valueOr(-1), -1);
}

// A failure made from Ok would claim a value it does not hold.
TEST(Result, IsNeverOkWithoutAValue) {
  Result<int> r = Status::Ok;
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.status(), Status::Failed);
}

TEST(Status, EveryValueHasItsOwnText) {
  const char* unknown = hv::statusText(static_cast<Status>(250));
  for (int s = static_cast<int>(Status::Ok); s <= static_cast<int>(Status::Busy); ++s)
    EXPECT_STRNE(hv::statusText(static_cast<Status>(s)), unknown) << s;
}

}  // namespace
