#include "platform/name_lookup.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace hv::platform {
namespace {

using hv::test::TempDir;
using hv::test::writeFile;

TEST(NameLookup, FindsFixedNamesIgnoringCasePreferringTheExactSpelling) {
  TempDir dir;
  writeFile(dir.file("index.hol"), "a");
  EXPECT_EQ(findEntryIgnoringCase(dir.path(), "INDEX.HOL").value_or(""), "index.hol");
  EXPECT_EQ(fixedNamePath(dir.path(), "INDEX.HOL"), dir.file("index.hol"));
  writeFile(dir.file("Index.Hol"), "b");
  EXPECT_EQ(findEntryIgnoringCase(dir.path(), "INDEX.HOL").value_or(""), "Index.Hol");
  writeFile(dir.file("INDEX.HOL"), "c");
  EXPECT_EQ(findEntryIgnoringCase(dir.path(), "INDEX.HOL").value_or(""), "INDEX.HOL");
}

TEST(NameLookup, MissingNamesKeepTheDocumentedSpellingAndNeverLeaveTheFolder) {
  TempDir dir;
  EXPECT_EQ(fixedNamePath(dir.path(), "COMPLETE.QA"), dir.file("COMPLETE.QA"));
  EXPECT_FALSE(fixedNameExists(dir.path(), "COMPLETE.QA"));
  EXPECT_FALSE(findEntryIgnoringCase(dir.path(), "../x").has_value());
  EXPECT_FALSE(findEntryIgnoringCase(dir.file("missing/"), "X").has_value());
  EXPECT_EQ(withTrailingSlash("a//"), "a/");
  EXPECT_EQ(withTrailingSlash(""), "./");
}

}  // namespace
}  // namespace hv::platform
