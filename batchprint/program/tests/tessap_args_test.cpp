// The batch print program's command line as the viewer and users give it.
#include "batchprint/program/tessap_args.h"

#include <gtest/gtest.h>

namespace hv::tessap {
namespace {

TEST(TessapArguments, ViewerCommandLines) {
  // Local printing, invert off: an empty first argument.
  Arguments a = parseArguments({"", "-b", "/tmp/bipAb12Cd"});
  EXPECT_TRUE(a.haveList);
  EXPECT_EQ(a.listPath, "/tmp/bipAb12Cd");
  EXPECT_FALSE(a.invert);
  EXPECT_FALSE(a.haveServer);
  // Invert on, a list path with blanks kept whole.
  a = parseArguments({"-i", "-b", "/home/j doe/tmp/bip1"});
  EXPECT_TRUE(a.invert);
  EXPECT_EQ(a.listPath, "/home/j doe/tmp/bip1");
  // Print server: three parameters, the third keeps its commas.
  a = parseArguments({"", "-b", "/tmp/bip2", "-p", "10.1.2.3,host7,res,erved"});
  EXPECT_TRUE(a.haveServer);
  EXPECT_EQ(a.serverAddress, "10.1.2.3");
  EXPECT_EQ(a.serverHost, "host7");
  EXPECT_EQ(a.serverThird, "res,erved");
}

TEST(TessapArguments, LettersAreCaseInsensitiveAndValuesMayBeJoined) {
  Arguments upper = parseArguments({"-B", "/tmp/list"});
  Arguments lower = parseArguments({"-b", "/tmp/list"});
  EXPECT_EQ(upper.listPath, lower.listPath);
  EXPECT_TRUE(upper.haveList);
  // One command string: blanks after the letter skipped, value up to a blank.
  Arguments joined = parseArguments({"-I -b   /tmp/list trailing -?"});
  EXPECT_TRUE(joined.invert);
  EXPECT_EQ(joined.listPath, "/tmp/list");
  EXPECT_TRUE(joined.showOptions);
  EXPECT_EQ(parseArguments({"-b/tmp/x"}).listPath, "/tmp/x");
  Arguments p = parseArguments({"-P1.2.3.4"});
  EXPECT_EQ(p.serverAddress, "1.2.3.4");
  EXPECT_EQ(p.serverHost, "");
  EXPECT_EQ(p.serverThird, "");
}

TEST(TessapArguments, TextBetweenOptionsIsSkipped) {
  // A path that merely contains "-b" or "-i" is not an option.
  Arguments a = parseArguments({"/data/job-b/x", "stray", "-b", "/data/run-i/list"});
  EXPECT_EQ(a.listPath, "/data/run-i/list");
  EXPECT_FALSE(a.invert);
  EXPECT_FALSE(parseArguments({}).haveList);
  EXPECT_FALSE(parseArguments({"-b"}).haveList);
  EXPECT_FALSE(parseArguments({"-", "--", "-x"}).haveList);
  EXPECT_FALSE(parseArguments({"", ""}).invert);
}

}  // namespace
}  // namespace hv::tessap
