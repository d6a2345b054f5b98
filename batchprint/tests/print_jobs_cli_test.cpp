// hvtool print-jobs from end to end: the files it leaves, what it prints and
// the command line it starts the batch print program with.
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

ToolRun hvtool(const hv::test::TempDir& scratch, const std::string& tool, const std::string& args,
           const std::string& environment = "") {
  ToolRun r;
  const std::string out = scratch.file("stdout"), err = scratch.file("stderr");
  r.status = hv::test::runCommand(environment + " '" + tool + "' print-jobs " + args + " > '" + out + "' 2> '" +
                                  err + "'");
  r.out = hv::test::readFile(out);
  r.err = hv::test::readFile(err);
  return r;
}

std::vector<std::string> jobFiles(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) {
    const std::string n = e.path().filename().string();
    if (n.size() > 9 && n[8] == '.') names.push_back(n);
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(PrintJobsCommand, WritesTheJobAndPrintsTheListPath) {
  hv::test::TempDir work, spool;
  hv::test::writeFile(work.file("a.tif"), "AAAA");
  hv::test::writeFile(work.file("b.tif"), std::string(5000, 'b'));
  const ToolRun r = hvtool(work, HVTOOL_PATH,
                       "'" + work.file("a.tif") + "' '" + work.file("b.tif") + "' --server 10.1.2.3 --list-name " +
                           "'Night shift batch' --copies 2 --plotter 4 --size E --dir '" + spool.path() + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_FALSE(r.out.empty());
  const std::string list = r.out.substr(0, r.out.size() - 1);
  EXPECT_EQ(list.rfind(spool.path() + "bip", 0), 0u);
  const auto names = jobFiles(spool.path());
  ASSERT_EQ(names.size(), 4u);
  const std::string base = names[0].substr(0, 9);
  EXPECT_EQ(names, (std::vector<std::string>{base + "001", base + "002", base + "HDR", base + "TLR"}));
  EXPECT_EQ(hv::test::readFile(list), spool.file(base + "HDR") + "\n" + spool.file(base + "001") + "\n" +
                                          spool.file(base + "002") + "\n" + spool.file(base + "TLR") + "\n");
  const std::string header = hv::test::readFile(spool.file(base + "HDR"));
  ASSERT_EQ(header.size(), 82u);
  // "Night shift " in EBCDIC: the list name cut to its 12-character field.
  EXPECT_EQ(header.substr(9, 12), "\xD5\x89\x87\x88\xA3\x40\xA2\x88\x89\x86\xA3\x40");
  const std::string second = hv::test::readFile(spool.file(base + "002"));
  ASSERT_EQ(second.size(), 5080u);
  EXPECT_EQ(second.substr(0, 7), "\xF0\xF2\x7A\xF4\x7A\xC5\x7A");  // "02:4:E:"
  EXPECT_EQ(second.substr(80), std::string(5000, 'b'));
  EXPECT_EQ(hv::test::readFile(spool.file(base + "TLR")), "\xF0\xF0\xF0\xF0\xF0\xF0\xF0\xF2");
}

TEST(PrintJobsCommand, RefusesWhatItCannotDoAndReportsLeftOutFiles) {
  hv::test::TempDir work, spool;
  hv::test::writeFile(work.file("a.tif"), "A");
  ::mkfifo(work.file("pipe").c_str(), 0600);
  ToolRun r = hvtool(work, HVTOOL_PATH, "'" + work.file("a.tif") + "' --dir '" + spool.path() + "'");
  EXPECT_EQ(r.status, 2);
  r = hvtool(work, HVTOOL_PATH, "'" + work.file("a.tif") + "' --server nosuchhost --dir '" + spool.path() + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Host name could not be found in hostname list"), std::string::npos);
  r = hvtool(work, HVTOOL_PATH,
             "'" + work.file("pipe") + "' '" + work.file("a.tif") + "' --server 10.0.0.1 --dir '" + spool.path() + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("named pipe, left out of the job"), std::string::npos) << r.err;
  EXPECT_EQ(jobFiles(spool.path()).size(), 3u);
}

TEST(PrintJobsCommand, StartsTheBatchPrintProgramBesideIt) {
  hv::test::TempDir work, spool;
  // A copy of hvtool with a stand-in batch print program beside it that
  // records its arguments.
  const std::string tool = work.file("hvtool");
  fs::copy_file(HVTOOL_PATH, tool);
  hv::test::writeFile(work.file("tessap"),
                      "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/args.tmp\"\n"
                      "mv \"$(dirname \"$0\")/args.tmp\" \"$(dirname \"$0\")/args\"\n");
  ASSERT_EQ(::chmod(work.file("tessap").c_str(), 0755), 0);
  hv::test::writeFile(work.file("a.tif"), "A");
  hv::test::writeFile(work.file("hosts"), "# print servers\n192.0.2.77 plotsrv 1\n");
  const ToolRun r = hvtool(work, tool,
                       "'" + work.file("a.tif") + "' --server PlotSrv --reserved Q --start --invert --dir '" +
                           spool.path() + "'",
                       "mkhostfile='" + work.file("hosts") + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string list = r.out.substr(0, r.out.size() - 1);
  std::string args;
  for (int i = 0; i < 500 && args.empty(); ++i) {
    ::usleep(10000);
    args = hv::test::readFile(work.file("args"));
  }
  const auto names = jobFiles(spool.path());
  ASSERT_EQ(names.size(), 3u);
  // "-i" first, the list, and the server parameters: the address from the
  // host list, the local host name and the reserved value.
  char host[256] = {};
  ::gethostname(host, sizeof host - 1);
  std::string shortHost = std::string(host).substr(0, 8);
  shortHost = shortHost.substr(0, shortHost.find('.'));
  EXPECT_EQ(args, "-i\n-b\n" + list + "\n-p\n192.0.2.77," + shortHost + ",Q\n");
}

}  // namespace
