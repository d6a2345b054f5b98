// hvtool meeting awkward input: index files that cannot be read or are not
// whole records, resolutions in centimetres, drawings too large for their
// target, and files the tool does not read.
#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/temp_dir.h"

namespace {

#ifdef HVTOOL_PATH
using hv::test::readFile;
using hv::test::runCommand;
using hv::test::TempDir;
using hv::test::writeFile;

const std::string kTool = HVTOOL_PATH;

struct ToolRun {
  int status;
  std::string out, err;
};

ToolRun run(const std::string& args) {
  TempDir dir;
  ToolRun r;
  r.status = runCommand("timeout 20 " + kTool + " " + args + " >" + dir.file("out") + " 2>" + dir.file("err"));
  r.out = readFile(dir.file("out"));
  r.err = readFile(dir.file("err"));
  return r;
}

TEST(HvtoolRecords, UnreadableAndMalformedIndexFilesFailTheCommandAndAreNamed) {
  TempDir dir;
  ASSERT_EQ(::mkfifo(dir.file("INDEX.HOL").c_str(), 0644), 0);
  ASSERT_EQ(::mkdir(dir.file("JMX.HOL").c_str(), 0755), 0);
  writeFile(dir.file("DOCFILES.IDX"), std::string(80, 'A') + "xyz");
  ToolRun r = run("records " + dir.path());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("INDEX.HOL: present but unreadable: not a regular file (a FIFO)"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("JMX.HOL: present but unreadable: Is a directory"), std::string::npos);
  EXPECT_NE(r.out.find("DOCFILES.IDX: 1 record(s)\n  note: 1 whole record(s) of 80 bytes, 3 byte(s) left over"),
            std::string::npos);
  EXPECT_NE(r.err.find("hvtool records: INDEX.HOL: present but unreadable: not a regular file (a FIFO)\n"),
            std::string::npos)
      << r.err;
  ToolRun json = run("records --json " + dir.path());
  EXPECT_EQ(json.status, 1);
  EXPECT_NE(json.out.find("\"problems\": {"), std::string::npos);
  // A sound folder still exits 0.
  TempDir sound;
  writeFile(sound.file("INDEX.HOL"), "srcdocid: " + std::string(90, ' ') + "\r\n");
  EXPECT_EQ(run("records " + sound.path()).status, 0);
}
#endif

}  // namespace
