// Submitting a batch: the job files, the list naming them in order, and the
// command line the batch print program is started with.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "batchprint/print_list.h"
#include "batchprint/remote_submit.h"
#include "batchprint/tessap_command.h"
#include "tests/support/temp_dir.h"

namespace hv::batchprint {
namespace {

struct Fixture {
  hv::test::TempDir images;
  hv::test::TempDir spool;
  std::vector<std::string> started;
  SubmitEnvironment env;
  BatchPrintOptions options;

  Fixture() {
    env.listFolder = spool.path();
    env.hostName = "tessera.example.org";
    env.localAddress = 0xC0A80011;
    std::tm t{};
    t.tm_year = 126;
    t.tm_mon = 2;
    t.tm_mday = 9;
    t.tm_hour = 14;
    t.tm_min = 5;
    t.tm_sec = 9;
    env.when = t;
    env.start = [this](const std::vector<std::string>& args) {
      started = args;
      return 0;
    };
    options.serverAddress = "10.1.2.3";
    options.reserved1 = "R1";
  }
  std::string image(const std::string& name, const std::string& bytes) {
    hv::test::writeFile(images.file(name), bytes);
    return images.file(name);
  }
};

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    out.push_back(text.substr(pos, end - pos));
    pos = end == std::string::npos ? text.size() : end + 1;
  }
  return out;
}

TEST(RemoteSubmission, WritesTheJobListsItInOrderAndStartsTheProgram) {
  Fixture f;
  const std::vector<std::string> images = {f.image("c.tif", "CCC"), f.image("a.tif", "A"), f.image("b.tif", "BB")};
  const SubmitResult r = submitRemoteJob(images, f.options, f.env);
  ASSERT_TRUE(r.ok()) << r.message;
  const std::string base = f.spool.file("14050900.");
  const std::vector<std::string> expected = {base + "HDR", base + "001", base + "002", base + "003", base + "TLR"};
  EXPECT_EQ(r.jobFiles, expected);
  EXPECT_EQ(lines(hv::test::readFile(r.listPath)), expected);
  EXPECT_EQ(hv::test::readFile(base + "002").substr(80), "A");
  EXPECT_EQ(hv::test::readFile(base + "TLR"), "\xF0\xF0\xF0\xF0\xF0\xF0\xF0\xF3");
  EXPECT_EQ(hv::test::readFile(base + "HDR").size(), 82u);
  // The host name is cut at its point, in the records and the parameters.
  EXPECT_EQ(hv::test::readFile(base + "HDR").substr(0, 8), "\xA3\x85\xA2\xA2\x85\x99\x81\x40");
  EXPECT_EQ(f.started, (std::vector<std::string>{"tessap", "", "-b", r.listPath, "-p", "10.1.2.3,tessera,R1"}));
  EXPECT_EQ(r.arguments, f.started);

  f.options.invert = true;
  const SubmitResult second = submitRemoteJob({images[0]}, f.options, f.env);
  ASSERT_TRUE(second.ok());
  // Same second, same folder: the next counter, the first job untouched.
  EXPECT_EQ(second.jobFiles.front(), f.spool.file("14050901.HDR"));
  EXPECT_EQ(hv::test::readFile(base + "TLR"), "\xF0\xF0\xF0\xF0\xF0\xF0\xF0\xF3");
  EXPECT_EQ(f.started.at(1), "-i");
}

TEST(RemoteSubmission, AnImageThatCannotBeReadIsLeftOutAndTheRestGo) {
  Fixture f;
  const std::vector<std::string> images = {f.image("a.tif", "A"), f.images.file("gone.tif"), f.image("b.tif", "B")};
  const SubmitResult r = submitRemoteJob(images, f.options, f.env);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.failedImages, std::vector<std::string>{f.images.file("gone.tif")});
  const std::string base = f.spool.file("14050900.");
  EXPECT_EQ(r.jobFiles, (std::vector<std::string>{base + "HDR", base + "001", base + "002", base + "TLR"}));
  EXPECT_EQ(hv::test::readFile(base + "002").substr(80), "B");
  EXPECT_EQ(hv::test::readFile(base + "TLR"), "\xF0\xF0\xF0\xF0\xF0\xF0\xF0\xF2");
}

TEST(RemoteSubmission, StopsWithTheDocumentedMessagesAndRemovesTheList) {
  Fixture f;
  const std::vector<std::string> images = {f.image("a.tif", "A")};
  auto listFiles = [&] {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(f.spool.path()))
      n += e.path().filename().string().rfind("bip", 0) == 0;
    return n;
  };

  f.env.hostName = "";
  SubmitResult r = submitRemoteJob(images, f.options, f.env);
  EXPECT_EQ(r.status, SubmitStatus::NoHostName);
  EXPECT_EQ(r.message, "Network is down or missing print server hostname!");
  EXPECT_EQ(r.caption, "Batch Print Error");
  EXPECT_EQ(listFiles(), 0);

  f.env.hostName = "host";
  f.options.serverAddress = "";
  EXPECT_EQ(submitRemoteJob(images, f.options, f.env).status, SubmitStatus::BadServer);
  f.options.serverAddress = "10.1.2.3";

  EXPECT_EQ(submitRemoteJob({}, f.options, f.env).status, SubmitStatus::NoImages);
  r = submitRemoteJob({f.images.file("gone.tif")}, f.options, f.env);
  EXPECT_EQ(r.status, SubmitStatus::NoImageWritten);
  EXPECT_NE(::access(f.spool.file("14050900.HDR").c_str(), F_OK), 0);

  f.env.start = [](const std::vector<std::string>&) { return ENOENT; };
  r = submitRemoteJob(images, f.options, f.env);
  EXPECT_EQ(r.status, SubmitStatus::StartFailed);
  EXPECT_EQ(r.message, std::strerror(ENOENT));
  EXPECT_EQ(listFiles(), 0);
  // The job files already written stay.
  EXPECT_EQ(::access(f.spool.file("14050900.TLR").c_str(), F_OK), 0);
}

TEST(LocalSubmission, ListsTheImagesAndStartsTheLocalProgram) {
  Fixture f;
  const std::vector<std::string> images = {f.image("one.tif", "1")};
  SubmitResult r = submitLocalJob(images, f.options, f.env);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(hv::test::readFile(r.listPath), images[0] + "\n");
  EXPECT_EQ(f.started, (std::vector<std::string>{"tessap32", "", "-b", r.listPath}));
  f.options.invert = true;
  r = submitLocalJob(images, f.options, f.env);
  EXPECT_EQ(f.started, (std::vector<std::string>{"tessap32", "-i", "-b", r.listPath}));
}

TEST(StartDetached, ReportsAMissingProgramAndStartsARealOne) {
  hv::test::TempDir dir;
  EXPECT_EQ(startDetached(dir.file("no-such-program"), {"x"}), ENOENT);
  EXPECT_EQ(startDetached("", {"x"}), ENOENT);
  const std::string script = dir.file("prog.sh");
  hv::test::writeFile(script, "#!/bin/sh\nprintf '%s|' \"$@\" > \"$0.out.tmp\" && mv \"$0.out.tmp\" \"$0.out\"\n");
  ASSERT_EQ(::chmod(script.c_str(), 0755), 0);
  ASSERT_EQ(startDetached(script, {"prog", "", "-b", "a b"}), 0);
  std::string out;
  for (int i = 0; i < 500 && out.empty(); ++i) {
    ::usleep(10000);
    out = hv::test::readFile(script + ".out");
  }
  EXPECT_EQ(out, "|-b|a b|");
}

}  // namespace
}  // namespace hv::batchprint
