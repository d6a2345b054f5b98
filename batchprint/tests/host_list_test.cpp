// The host list of print servers.
#include <cstdlib>
#include <gtest/gtest.h>

#include "batchprint/host_list.h"
#include "batchprint/tests/batchprint_test_util.h"
#include "tests/support/temp_dir.h"

namespace hv::batchprint {
namespace {

TEST(HostList, SkipsCommentsAndShortLinesAndKeepsTheLaterDuplicate) {
  HostList list;
  list.parse(
      "# address name number\n"
      "10.1.2.3 plotsrv 7\n"
      "  #10.9.9.9 hidden 1\n"
      "10.1.2.4 onlytwo\n"
      "\n"
      "10.1.2.5\tarchive\t2\textra fields\r\n"
      "10.1.2.6 PLOTSRV 8\n");
  ASSERT_EQ(list.entries().size(), 2u);
  EXPECT_EQ(list.find("hidden"), -1);
  EXPECT_EQ(list.find("onlytwo"), -1);
  EXPECT_EQ(list.find("archive"), 0);
  EXPECT_EQ(list.entries()[0].number, "2");
  // The later entry replaced the earlier one and moved to the end.
  EXPECT_EQ(list.find("plotsrv"), 1);
  EXPECT_EQ(list.entries()[1].address, "10.1.2.6");
  EXPECT_EQ(list.entries()[1].number, "8");
  EXPECT_EQ(list.find("nosuch"), -1);
}

TEST(HostList, ReadsOnly128CharactersOfALine) {
  HostList list;
  const std::string pad(130, ' ');
  list.parse("10.0.0.1" + pad + "lost 1\n10.0.0.2 kept 2 " + std::string(200, 'x') + " more fields\n");
  EXPECT_EQ(list.find("lost"), -1);
  EXPECT_EQ(list.find("kept"), 0);
  EXPECT_EQ(list.entries().size(), 1u);
}

TEST(HostList, IsFoundThroughTheEnvironmentAndNeverReadFromAPipe) {
  hv::test::TempDir dir;
  hv::test::writeFile(dir.file("hosts.txt"), "192.0.2.10 spool 1\n");
  ::setenv("mkhostfile", dir.file("hosts.txt").c_str(), 1);
  EXPECT_EQ(HostList::defaultPath(), dir.file("hosts.txt"));
  HostList list;
  EXPECT_TRUE(list.loadDefault());
  EXPECT_EQ(list.find("SPOOL"), 0);

  test::makeFifo(dir.file("pipe"));
  EXPECT_FALSE(list.load(dir.file("pipe")));
  EXPECT_TRUE(list.entries().empty());
  ::unsetenv("mkhostfile");
  EXPECT_EQ(HostList::defaultPath(), "/etc/_mkhost.txt");
  EXPECT_FALSE(list.load(dir.file("missing")));
}

}  // namespace
}  // namespace hv::batchprint
