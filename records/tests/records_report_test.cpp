#include "records/records_report.h"

#include <cstring>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "records/hollrec.h"
#include "records/index_file.h"
#include "records/tests/record_test_util.h"
#include "tests/support/temp_dir.h"

namespace hv::records {
namespace {

using hv::test::TempDir;
using hv::test::writeFile;

TEST(RecordsReport, ListsEveryIndexWithNamesFieldsAndAccessLetters) {
  TempDir dir;
  auto h = test::hollRecord({{0, "srcdocid: "}, {10, "DW"}, {12, "1234567"}, {27, "12345"}, {78, "0001"}});
  writeFile(dir.file("INDEX.HOL"), test::bytesOf(h) + "\r\n");
  std::string jmx(1072, '\0');
  jmx.replace(0, 10, "jmxrecid: ");
  jmx.replace(10, 6, "DOC\"1\x01");
  jmx.replace(1034, 4, "0001");
  writeFile(dir.file("jmx.hol"), jmx + "\r\n");
  std::string alias(80, '\0');
  alias.replace(0, 9, "Long Name");
  alias.replace(64, 12, "OPTI0000.TIF");
  alias[77] = 'R';
  std::string bad = alias;
  bad.replace(64, 12, std::string("../x\0\0\0\0\0\0\0\0", 12));
  writeFile(dir.file("DOCFILES.IDX"), alias + bad);

  std::string error;
  auto text = recordsReport(dir.path(), ReportFormat::Text, error);
  ASSERT_TRUE(text);
  EXPECT_NE(text->find("INDEX.HOL: 1 record(s)"), std::string::npos);
  EXPECT_NE(text->find("long name: [1234567__________12345__DW__________________________________0001]"), std::string::npos);
  EXPECT_NE(text->find("Doc Type: [DW]"), std::string::npos);
  EXPECT_NE(text->find("DOCNUM: [DOC\"1\\x01]"), std::string::npos);
  EXPECT_NE(text->find("access: [R]"), std::string::npos);
  EXPECT_NE(text->find("usable: [no (ignored)]"), std::string::npos);

  auto json = recordsReport(dir.path(), ReportFormat::Json, error);
  ASSERT_TRUE(json);
  EXPECT_NE(json->find("\"DOCNUM\": \"DOC\\\"1\\\\x01\""), std::string::npos);
  EXPECT_NE(json->find("\"access\": \"R\""), std::string::npos);
  EXPECT_EQ(json->find('\x01'), std::string::npos);
}

TEST(RecordsReport, AbsentFilesAndMissingFolders) {
  TempDir dir;
  std::string error;
  auto json = recordsReport(dir.path(), ReportFormat::Json, error);
  ASSERT_TRUE(json);
  EXPECT_NE(json->find("\"INDEX.HOL\": null"), std::string::npos);
  EXPECT_FALSE(recordsReport(dir.file("missing"), ReportFormat::Text, error));
  EXPECT_NE(error.find("not a folder"), std::string::npos);
}

}  // namespace
}  // namespace hv::records

namespace hv::records {
namespace {

using hv::test::TempDir;
using hv::test::writeFile;

std::string hollerith(const std::string& seq) { return test::bytesOf(test::seqRecord(seq)); }

// Runs f in a child process that is killed after 5 s; true when f returned
// true in time (a FIFO must never make a reader hang).
bool finishesInTime(const std::function<bool()>& f) {
  pid_t pid = ::fork();
  if (pid == 0) {
    ::alarm(5);
    ::_exit(f() ? 0 : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(RecordsReport, FilesThatCannotBeReadArePresentButUnreadableWithTheReason) {
  TempDir dir;
  ASSERT_EQ(::mkdir(dir.file("INDEX.HOL").c_str(), 0755), 0);
  ASSERT_EQ(::mkfifo(dir.file("DOCFILES.IDX").c_str(), 0644), 0);
  // Larger than an index may be (a sparse file costs no disk).
  ASSERT_EQ(::truncate((writeFile(dir.file("JMX.HOL"), ""), dir.file("JMX.HOL")).c_str(), kMaxIndexFileBytes + 1), 0);
  ASSERT_TRUE(finishesInTime([&] {
    std::string error;
    auto text = recordsReport(dir.path(), ReportFormat::Text, error);
    return text && text->find("INDEX.HOL: present but unreadable: Is a directory\n") != std::string::npos &&
           text->find("JMX.HOL: present but unreadable: larger than the 64 MiB an index file may hold") !=
               std::string::npos &&
           text->find("DOCFILES.IDX: present but unreadable: not a regular file (a FIFO)\n") != std::string::npos;
  }));
  ReportOutcome o = writeRecordsReport(dir.path(), ReportFormat::Json, [](std::string_view) { return true; });
  ASSERT_TRUE(o.written);
  EXPECT_EQ(o.problems.size(), 3u);
  std::string error;
  auto json = recordsReport(dir.path(), ReportFormat::Json, error);
  ASSERT_TRUE(json);
  EXPECT_NE(json->find("\"INDEX.HOL\": null"), std::string::npos);
  EXPECT_NE(json->find("\"problems\": {\n    \"INDEX.HOL\": {\"state\": \"unreadable\", \"reason\": \"Is a directory\"}"),
            std::string::npos)
      << *json;
  if (::geteuid() != 0) {
    TempDir locked;
    writeFile(locked.file("INDEX.HOL"), hollerith("0001") + "\r\n");
    ASSERT_EQ(::chmod(locked.file("INDEX.HOL").c_str(), 0), 0);
    auto text = recordsReport(locked.path(), ReportFormat::Text, error);
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("INDEX.HOL: present but unreadable: Permission denied"), std::string::npos);
  }
}

TEST(RecordsReport, AFifoInPlaceOfAnIndexNeverHangsTheCore) {
  TempDir dir;
  ASSERT_EQ(::mkfifo(dir.file("INDEX.HOL").c_str(), 0644), 0);
  ASSERT_EQ(::mkfifo(dir.file("JMX.HOL").c_str(), 0644), 0);
  EXPECT_TRUE(finishesInTime([&] {
    RecordHollerith rec;
    int count = 7;
    return hollrec_FindRecUsingLongName(dir.path().c_str(), test::nameWithSeq("0001").c_str(), &rec) == -1 &&
           hollrec_GetNextSeqNum(dir.path().c_str(), &count) == -1 && count == 0 &&
           hollrec_AppendHollRec(&rec, dir.path().c_str()) != 0;
  }));
  struct stat st {};
  ASSERT_EQ(::lstat(dir.file("INDEX.HOL").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST(RecordsReport, MalformedFilesSayWhatIsWrongAndListWhatIsSound) {
  TempDir dir;
  // Two whole records and 37 stray bytes.
  writeFile(dir.file("INDEX.HOL"), hollerith("0001") + hollerith("0002") + std::string(37, 'x'));
  // JEDMICS records separated by CR LF: listed in step.
  std::string jmx(1072, '\0');
  jmx.replace(0, 10, "jmxrecid: ");
  std::string second = jmx;
  jmx.replace(1034, 4, "0001");
  second.replace(1034, 4, "0002");
  writeFile(dir.file("JMX.HOL"), jmx + "\r\n" + second + "\r\n");
  // Binary junk.
  std::string junk(80 * 4, '\0');
  for (std::size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<char>((i * 151 + 7) % 256);
  writeFile(dir.file("DOCFILES.IDX"), junk);

  std::string error;
  auto text = recordsReport(dir.path(), ReportFormat::Text, error);
  ASSERT_TRUE(text);
  EXPECT_NE(text->find("INDEX.HOL: 2 record(s)\n  note: 2 whole record(s) of 100 bytes, 37 byte(s) left over (not "
                       "listed)\n  record 0\n"),
            std::string::npos)
      << *text;
  EXPECT_NE(text->find("Seq#: [0002]"), std::string::npos);
  EXPECT_NE(text->find("JMX.HOL: 2 record(s)\n  note: records are separated by CR LF (1074 bytes each); listed in step"),
            std::string::npos)
      << *text;
  // The second JEDMICS record is read in step: its Seq# is whole.
  auto jmxPart = text->substr(text->find("JMX.HOL:"));
  EXPECT_NE(jmxPart.find("  record 1\n    Seq#: [0002]"), std::string::npos) << jmxPart;
  EXPECT_NE(text->find("4 of 4 record(s) do not look like alias records (first: 0, 1, 2, 3)"), std::string::npos);

  ReportOutcome o = writeRecordsReport(dir.path(), ReportFormat::Text, [](std::string_view) { return true; });
  EXPECT_EQ(o.problems.size(), 4u);  // leftover, separators (2 notes), junk
  auto json = recordsReport(dir.path(), ReportFormat::Json, error);
  ASSERT_TRUE(json);
  EXPECT_NE(json->find("\"INDEX.HOL\": {\"state\": \"malformed\", \"whole records\": 2, \"record bytes\": 100, "
                       "\"bytes left over\": 37, \"separated by CR LF\": false, \"records unlike\": 0"),
            std::string::npos)
      << *json;
  EXPECT_NE(json->find("\"DOCFILES.IDX\": {\"state\": \"malformed\", \"whole records\": 4"), std::string::npos);
}

TEST(RecordsReport, SoundFilesHaveNoNotesAndTheReportIsStreamed) {
  TempDir dir;
  std::string many;
  for (int i = 0; i < 20000; ++i) many += hollerith("0001");
  writeFile(dir.file("INDEX.HOL"), many + "\r\n");
  std::size_t pieces = 0, largest = 0, total = 0;
  ReportOutcome o = writeRecordsReport(dir.path(), ReportFormat::Json, [&](std::string_view piece) {
    ++pieces;
    largest = std::max(largest, piece.size());
    total += piece.size();
    return true;
  });
  ASSERT_TRUE(o.written);
  EXPECT_TRUE(o.problems.empty());
  EXPECT_GT(pieces, 50u);
  EXPECT_LT(largest, 256u << 10);
  std::string error;
  auto json = recordsReport(dir.path(), ReportFormat::Json, error);
  ASSERT_TRUE(json);
  EXPECT_EQ(json->size(), total);
  EXPECT_EQ(json->find("problems"), std::string::npos);
  auto text = recordsReport(dir.path(), ReportFormat::Text, error);
  EXPECT_EQ(text->find("note:"), std::string::npos);
  // A sink that fails stops the report.
  ReportOutcome stopped = writeRecordsReport(dir.path(), ReportFormat::Text, [](std::string_view) { return false; });
  EXPECT_FALSE(stopped.written);
}

}  // namespace
}  // namespace hv::records
