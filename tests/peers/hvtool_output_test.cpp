// hvtool's outputs: what OUT may be, the modes new outputs get, and the
// messages of writes that fail.
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

const std::string kTool = HVTOOL_PATH;
const std::string kSample = std::string(HV_SOURCE_DIR) + "/samples/sample-drawing.tif";

struct ToolRun {
  int status;
  std::string out, err;
};

// Runs hvtool under a shell prefix (e.g. "umask 027;").
ToolRun run(const std::string& args, const std::string& prefix = "") {
  TempDir dir;
  ToolRun r;
  r.status = runCommand(prefix + kTool + " " + args + " >" + dir.file("out") + " 2>" + dir.file("err"));
  r.out = readFile(dir.file("out"));
  r.err = readFile(dir.file("err"));
  return r;
}

mode_t modeOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
  return st.st_mode;
}

TEST(HvtoolOutput, AFullDeviceGetsTheSystemsReasonAndStaysADevice) {
  for (const std::string cmd : {"decode " + kSample + " /dev/full", "convert " + kSample + " /dev/full --to TIFFGP4",
                                "render " + kSample + " /dev/full --fit 200x100"}) {
    SCOPED_TRACE(cmd);
    ToolRun r = run(cmd);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("/dev/full: No space left on device"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find(".hvsave"), std::string::npos) << r.err;
    EXPECT_TRUE(S_ISCHR(modeOf("/dev/full")));
  }
}

TEST(HvtoolOutput, StandardOutputAndFifosAreWrittenStraightInto) {
  ToolRun pbm = run("decode " + kSample + " -");
  EXPECT_EQ(pbm.status, 0) << pbm.err;
  EXPECT_EQ(pbm.out.substr(0, 13), "P4\n6800 4400\n");
  EXPECT_EQ(pbm.out.size(), 13u + 850u * 4400u);
  // /dev/stdout, redirected to a file or a pipe.
  ToolRun dev = run("decode " + kSample + " /dev/stdout");
  EXPECT_EQ(dev.status, 0) << dev.err;
  EXPECT_EQ(dev.out, pbm.out);
  TempDir piped;
  EXPECT_EQ(runCommand(kTool + " render " + kSample + " /dev/stdout --fit 16x16 | cat >" + piped.file("p")), 0);
  EXPECT_EQ(readFile(piped.file("p")).substr(0, 9), "P4\n16 16\n");
  ToolRun tif = run("convert " + kSample + " - --to TIFFGP4");
  EXPECT_EQ(tif.status, 0) << tif.err;
  EXPECT_EQ(tif.out.substr(0, 4), std::string("II*\0", 4));
  TempDir dir;
  const std::string fifo = dir.file("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(runCommand("(cat " + fifo + " >" + dir.file("got") + " &) ; " + kTool + " render " + kSample + " " + fifo +
                       " --fit 64x64 && sleep 0.2"),
            0);
  EXPECT_EQ(readFile(dir.file("got")).substr(0, 9), "P4\n64 64\n");
  EXPECT_TRUE(S_ISFIFO(modeOf(fifo)));
}

TEST(HvtoolOutput, ASymbolicLinkUpdatesItsTargetAndAFolderIsAClearError) {
  TempDir dir, other;
  hv::test::writeFile(other.file("drawing.cal"), "old");
  ASSERT_EQ(::symlink(other.file("drawing.cal").c_str(), dir.file("link.cal").c_str()), 0);
  ToolRun r = run("convert " + kSample + " " + dir.file("link.cal") + " --to CAL1GP4");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(S_ISLNK(modeOf(dir.file("link.cal"))));
  EXPECT_GT(readFile(other.file("drawing.cal")).size(), 1000u);
  ToolRun decode = run("decode " + kSample + " " + dir.path());
  EXPECT_EQ(decode.status, 1);
  EXPECT_NE(decode.err.find(": Is a directory"), std::string::npos) << decode.err;
  ToolRun convert = run("convert " + kSample + " " + other.path() + " --to TIFFGP4");
  EXPECT_EQ(convert.status, 1);
  EXPECT_NE(convert.err.find(": Is a directory"), std::string::npos) << convert.err;
  EXPECT_EQ(convert.err.find("GRX Error"), std::string::npos) << convert.err;
}

TEST(HvtoolOutput, NewOutputsGetTheUsualModeAndExistingOnesKeepTheirs) {
  TempDir dir;
  const std::string tiny = "--fit 32x32";
  for (const std::string& cmd : {"decode " + kSample + " " + dir.file("d.pbm"),
                                 "render " + kSample + " " + dir.file("r.png") + " " + tiny,
                                 "convert " + kSample + " " + dir.file("c.tif") + " --to TIFFGP4"}) {
    ToolRun r = run(cmd, "umask 027; ");
    EXPECT_EQ(r.status, 0) << cmd << r.err;
  }
  EXPECT_EQ(modeOf(dir.file("d.pbm")) & 0777, 0640u);
  EXPECT_EQ(modeOf(dir.file("r.png")) & 0777, 0640u);
  EXPECT_EQ(modeOf(dir.file("c.tif")) & 0777, 0640u);
  ASSERT_EQ(::chmod(dir.file("d.pbm").c_str(), 0604), 0);
  EXPECT_EQ(run("decode " + kSample + " " + dir.file("d.pbm"), "umask 077; ").status, 0);
  EXPECT_EQ(modeOf(dir.file("d.pbm")) & 0777, 0604u);
  // Nothing but the outputs is left in the folder.
  EXPECT_NE(runCommand("ls -A " + dir.path() + " | grep -v -e '^d.pbm$' -e '^r.png$' -e '^c.tif$'"), 0);
}
TEST(HvtoolOutput, AFullDiskNamesTheUsersFileAndLeavesNoTemporary) {
  TempDir dir;
  if (::geteuid() != 0 || runCommand("mount -t tmpfs -o size=64k tmpfs " + dir.path() + " 2>/dev/null") != 0)
    GTEST_SKIP() << "cannot mount a small tmpfs here";
  for (const std::string& code : {"TIFFGP4", "CAL2GP4", "DSEDGP4W"}) {
    ToolRun r = run("convert " + kSample + " " + dir.file("x.out") + " --to " + code);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Unable to write to " + dir.file("x.out") + ": No space left on device\n") << code;
  }
  ToolRun d = run("decode " + kSample + " " + dir.file("x.pbm"));
  EXPECT_EQ(d.err, "Unable to write to " + dir.file("x.pbm") + ": No space left on device\n");
  EXPECT_NE(runCommand("ls -A " + dir.path() + " | grep -q ."), 0);  // nothing left behind
  runCommand("umount " + dir.path());
}
#endif

}  // namespace
