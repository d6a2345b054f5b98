// The batch print file list: written as the submissions write it, read as
// the batch print program reads it, whatever the list holds.
#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "batchprint/print_list.h"
#include "batchprint/tests/batchprint_test_util.h"
#include "tests/support/temp_dir.h"

namespace hv::batchprint {
namespace {

std::vector<std::string> listed(const PrintList& list) {
  std::vector<std::string> out;
  for (const auto& e : list.entries) out.push_back(e.listed);
  return out;
}

TEST(PrintListWriter, WritesOneLinePerPathAndReadsBack) {
  hv::test::TempDir dir;
  hv::test::writeFile(dir.file("a b.tif"), "x");
  hv::test::writeFile(dir.file("c.tif"), "y");
  PrintListWriter w;
  ASSERT_TRUE(w.create(dir.path()));
  EXPECT_EQ(w.path().rfind(dir.path() + "bip", 0), 0u) << w.path();
  EXPECT_TRUE(w.append(dir.file("a b.tif")));
  EXPECT_FALSE(w.append(dir.file("x\ny.tif")));  // could not be read back as one line
  EXPECT_FALSE(w.failed());
  EXPECT_TRUE(w.append(dir.file("c.tif")));
  ASSERT_TRUE(w.close());
  EXPECT_EQ(hv::test::readFile(w.path()), dir.file("a b.tif") + "\n" + dir.file("c.tif") + "\n");
  const PrintList list = readPrintList(w.path());
  ASSERT_TRUE(list.opened);
  EXPECT_EQ(list.printable(), 2u);
  EXPECT_EQ(list.entries[0].path, dir.file("a b.tif"));
}

TEST(PrintListWriter, ADiscardedListIsGone) {
  hv::test::TempDir dir;
  std::string path;
  {
    PrintListWriter w;
    ASSERT_TRUE(w.create(dir.path()));
    path = w.path();
    EXPECT_TRUE(w.append("/some/file"));
  }  // never closed: removed
  EXPECT_NE(::access(path.c_str(), F_OK), 0);
}

TEST(PrintListReader, CarriageReturnsAndLineFeedsAreRemoved) {
  hv::test::TempDir dir;
  hv::test::writeFile(dir.file("one.tif"), "1");
  hv::test::writeFile(dir.file("two.tif"), "2");
  hv::test::writeFile(dir.file("list"), dir.file("one.tif") + "\r\n\r\n" + dir.file("two.tif") + "\r\r\n\n" +
                                            dir.file("one.tif"));
  const PrintList list = readPrintList(dir.file("list"));
  EXPECT_EQ(listed(list), (std::vector<std::string>{dir.file("one.tif"), dir.file("two.tif"), dir.file("one.tif")}));
  EXPECT_EQ(list.printable(), 3u);
}

TEST(PrintListReader, DirectoriesFifosAndJunkAreSkippedWithoutOpeningThem) {
  hv::test::TempDir dir;
  hv::test::writeFile(dir.file("good.tif"), "g");
  ::mkdir(dir.file("folder").c_str(), 0755);
  test::makeFifo(dir.file("pipe"));
  std::string junk = "\x01\xff\xfe junk \x7f";
  std::string withNul("abc\0def", 7);
  hv::test::writeFile(dir.file("list"), dir.file("folder") + "\n" + dir.file("pipe") + "\n" + junk + "\n" + withNul +
                                            "\n" + "/dev/null\n" + dir.file("good.tif") + "\n" + dir.file("missing") +
                                            "\n");
  const PrintList list = readPrintList(dir.file("list"));
  ASSERT_EQ(list.entries.size(), 7u);
  EXPECT_EQ(list.entries[0].state, EntryState::Directory);
  EXPECT_EQ(list.entries[1].state, EntryState::Fifo);
  EXPECT_EQ(list.entries[2].state, EntryState::Missing);
  EXPECT_EQ(list.entries[2].listed, junk);
  EXPECT_EQ(list.entries[3].state, EntryState::NotAPath);
  EXPECT_EQ(list.entries[4].state, EntryState::Special);
  EXPECT_EQ(list.entries[5].state, EntryState::Printable);
  EXPECT_EQ(list.entries[6].state, EntryState::Missing);
  EXPECT_EQ(list.printable(), 1u);
}

TEST(PrintListReader, HugeListsAreReadWithBoundedLines) {
  hv::test::TempDir dir;
  hv::test::writeFile(dir.file("good.tif"), "g");
  std::string text;
  const std::string longLine(100000, 'L');
  for (int i = 0; i < 10000; ++i) {
    if (i % 1000 == 0) text += longLine + "\n";
    text += (i % 2 ? dir.file("good.tif") : dir.file("missing-" + std::to_string(i))) + "\r\n";
  }
  hv::test::writeFile(dir.file("list"), text);
  const PrintList list = readPrintList(dir.file("list"));
  ASSERT_EQ(list.entries.size(), 10010u);
  EXPECT_EQ(list.printable(), 5000u);
  std::size_t tooLong = 0;
  for (const auto& e : list.entries) {
    EXPECT_LE(e.listed.size(), kMaxListLine);
    tooLong += e.state == EntryState::TooLong;
  }
  EXPECT_EQ(tooLong, 10u);
  EXPECT_EQ(list.entries[0].state, EntryState::TooLong);
}

TEST(PrintListReader, OneLineOfTwentyMegabytesIsOneSkippedEntry) {
  hv::test::TempDir dir;
  hv::test::writeFile(dir.file("list"), std::string(20u << 20, '\xAA'));
  const PrintList list = readPrintList(dir.file("list"));
  ASSERT_EQ(list.entries.size(), 1u);
  EXPECT_EQ(list.entries[0].state, EntryState::TooLong);
  EXPECT_EQ(list.entries[0].listed.size(), kMaxListLine);
}

TEST(PrintListReader, ALineOfExactlyTheLimitIsAPath) {
  hv::test::TempDir dir;
  std::string name = dir.path();
  name += std::string(kMaxListLine - name.size(), 'n');
  hv::test::writeFile(dir.file("list"), name + "\n" + name + "x\n");
  const PrintList list = readPrintList(dir.file("list"));
  ASSERT_EQ(list.entries.size(), 2u);
  EXPECT_EQ(list.entries[0].state, EntryState::Missing);  // a name too long for the file system
  EXPECT_EQ(list.entries[1].state, EntryState::TooLong);
}

TEST(PrintListReader, AListThatIsNoRegularFileIsRefusedAtOnce) {
  hv::test::TempDir dir;
  test::makeFifo(dir.file("pipe"));
  // A writer holds the pipe open: a blocking reader would wait for its end.
  int writer = ::open(dir.file("pipe").c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(writer, 0);
  const auto start = std::chrono::steady_clock::now();
  PrintList list = readPrintList(dir.file("pipe"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  ::close(writer);
  EXPECT_FALSE(list.opened);
  EXPECT_EQ(list.error, "not a regular file");
  list = readPrintList(dir.path());
  EXPECT_FALSE(list.opened);
  list = readPrintList(dir.file("missing"));
  EXPECT_FALSE(list.opened);
  EXPECT_EQ(list.error, "missing");
  // An empty list is a list without entries.
  hv::test::writeFile(dir.file("empty"), "");
  list = readPrintList(dir.file("empty"));
  EXPECT_TRUE(list.opened);
  EXPECT_TRUE(list.entries.empty());
}

}  // namespace
}  // namespace hv::batchprint
