// hvtool's command line: outputs, messages and exit statuses.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_dir.h"

namespace {

#ifdef HVTOOL_PATH
const std::string kTool = HVTOOL_PATH;
const std::string kSample = std::string(HV_SOURCE_DIR) + "/samples/sample-drawing.tif";

struct ToolRun {
  int status;
  std::string out, err;
};

ToolRun run(const std::string& args) {
  hv::test::TempDir dir;
  ToolRun r;
  r.status = hv::test::runCommand(kTool + " " + args + " >" + dir.file("out") + " 2>" + dir.file("err"));
  r.out = hv::test::readFile(dir.file("out"));
  r.err = hv::test::readFile(dir.file("err"));
  return r;
}

TEST(HvtoolCli, IdentifyNamesEveryNumber) {
  ToolRun r = run("identify " + kSample);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, kSample +
                       ": document type 0 (not a document index), filter 1 (TIFF), compression 5 (CCITT Group 4), "
                       "header offset 0\n");
  ToolRun bad = run("identify " + std::string(HV_SOURCE_DIR) + "/README.md");
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.out.find("Unknown Type"), std::string::npos);
}

TEST(HvtoolCli, InfoPrintsLabelledFields) {
  ToolRun r = run("info " + kSample);
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("Width: 6800\n"), std::string::npos);
  EXPECT_NE(r.out.find("Height: 4400\n"), std::string::npos);
  EXPECT_NE(r.out.find("Compression: CCITT Group4\n"), std::string::npos);
  EXPECT_NE(r.out.find("Width (inches):   34.00\n"), std::string::npos);
}

TEST(HvtoolCli, FailuresCarryTheSystemsMessage) {
  ToolRun missing = run("decode /nonexistent/x.tif /tmp/never.pbm");
  EXPECT_NE(missing.status, 0);
  EXPECT_EQ(missing.err, "Unable to open /nonexistent/x.tif\n");
  hv::test::TempDir dir;
  std::string lzw = dir.file("lzw.tif");
  if (hv::test::haveProgram("tiffcp")) {
    ASSERT_EQ(hv::test::runCommand("tiffcp -c lzw " + kSample + " " + lzw), 0);
    ToolRun r = run("decode " + lzw + " " + dir.file("x.pbm"));
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(r.err, "TIFF File Manager: LZW compressed files are not supported.\n");
  }
  // A decode that fails leaves no output file behind.
  std::string junk = dir.file("junk.tif");
  hv::test::writeFile(junk, std::string("II*\0\x08\0\0\0", 8));
  ToolRun r = run("decode " + junk + " " + dir.file("y.pbm"));
  EXPECT_NE(r.status, 0);
  EXPECT_NE(hv::test::runCommand("test -e " + dir.file("y.pbm")), 0);
  EXPECT_EQ(run("frobnicate").status, 2);
  EXPECT_EQ(run("decode --help").status, 0);
}
TEST(HvtoolCli, RecordsListsTheIndexFiles) {
  hv::test::TempDir dir;
  std::string record = "srcdocid: " + std::string(90, ' ');
  hv::test::writeFile(dir.file("INDEX.HOL"), record + "\r\n");
  ToolRun text = run("records " + dir.path());
  EXPECT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("INDEX.HOL: 1 record(s)"), std::string::npos) << text.out;
  ToolRun json = run("records --json " + dir.path());
  EXPECT_EQ(json.status, 0) << json.err;
  EXPECT_EQ(json.out.substr(0, 1), "{");
  EXPECT_NE(run("records /nonexistent/folder").status, 0);
}
#endif

}  // namespace
