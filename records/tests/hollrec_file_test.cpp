#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <set>

#include <gtest/gtest.h>

#include "records/hollrec.h"
#include "records/index_file.h"
#include "records/tests/record_test_util.h"
#include "tests/support/temp_dir.h"

namespace hv::records {
namespace {

using hv::test::readFile;
using hv::test::TempDir;
using hv::test::writeFile;
using test::bytesOf;
using test::nameWithSeq;
using test::seqRecord;

std::string fileOf(std::initializer_list<RecordHollerith> recs) {
  std::string out;
  for (const auto& r : recs) out += bytesOf(r);
  return out + "\r\n";
}

std::size_t entryCount(const std::string& dir) {
  std::size_t n = 0;
  DIR* d = ::opendir(dir.c_str());
  while (dirent* e = d ? ::readdir(d) : nullptr)
    if (e->d_name[0] != '.' || (std::string(e->d_name) != "." && std::string(e->d_name) != "..")) ++n;
  if (d) ::closedir(d);
  return n;
}

TEST(HollerithIndexFile, AppendWritesTheRecordAtTheLastWholeRecordAndEndsWithCrLf) {
  TempDir dir;
  const auto a = seqRecord("0001"), b = seqRecord("0002"), c = seqRecord("0003"), d = seqRecord("0004", 'X');
  writeFile(dir.file("INDEX.HOL"), fileOf({a, b, c}));
  ASSERT_EQ(readFile(dir.file("INDEX.HOL")).size(), 302u);
  EXPECT_EQ(hollrec_AppendHollRec(&d, dir.path().c_str()), 2);
  std::string want = bytesOf(a) + bytesOf(b) + bytesOf(c) + bytesOf(d) + "\r\n";
  EXPECT_EQ(readFile(dir.file("INDEX.HOL")), want);
  // A file without the CR LF, or with junk after the last record, is cut back
  // to its whole records first.
  writeFile(dir.file("INDEX.HOL"), bytesOf(a) + "junk");
  EXPECT_EQ(hollrec_AppendHollRec(&b, dir.path().c_str()), 2);
  EXPECT_EQ(readFile(dir.file("INDEX.HOL")), bytesOf(a) + bytesOf(b) + "\r\n");
}

TEST(HollerithIndexFile, AppendNeverCreatesTheIndex) {
  TempDir dir;
  const auto a = seqRecord("0001");
  EXPECT_EQ(hollrec_AppendHollRec(&a, dir.path().c_str()), -1);
  EXPECT_EQ(entryCount(dir.path()), 0u);
  EXPECT_EQ(hollrec_AppendHollRec(nullptr, dir.path().c_str()), -1);
  EXPECT_EQ(hollrec_AppendHollRec(&a, nullptr), -1);
}

TEST(HollerithIndexFile, FindsByTheSequenceNumberIgnoringCase) {
  TempDir dir;
  const auto a = seqRecord("00a1"), b = seqRecord("00B2"), c = seqRecord("00b2", 'Z');
  writeFile(dir.file("INDEX.HOL"), fileOf({a, b, c}));
  RecordHollerith out;
  EXPECT_EQ(hollrec_FindRecUsingLongName(dir.path().c_str(), nameWithSeq("00b2").c_str(), &out), 1);
  EXPECT_EQ(bytesOf(out), bytesOf(b));
  EXPECT_EQ(hollrec_FindRecUsingLongName(dir.path().c_str(), nameWithSeq("00A1").c_str(), &out), 0);
  EXPECT_EQ(hollrec_FindRecUsingLongName(dir.path().c_str(), nameWithSeq("0009").c_str(), &out), -1);
  EXPECT_EQ(hollrec_FindRecUsingLongName(dir.path().c_str(), "short0001", &out), -1);
  writeFile(dir.file("INDEX.HOL"), "");
  EXPECT_EQ(hollrec_FindRecUsingLongName(dir.path().c_str(), nameWithSeq("00A1").c_str(), &out), -1);
}

TEST(HollerithIndexFile, FixedNameIsFoundIgnoringCaseAndWithoutTrailingSlash) {
  TempDir dir;
  const auto a = seqRecord("0001"), b = seqRecord("0002");
  writeFile(dir.file("index.hol"), fileOf({a}));
  std::string noSlash = dir.path().substr(0, dir.path().size() - 1);
  EXPECT_EQ(hollrec_AppendHollRec(&b, noSlash.c_str()), 2);
  EXPECT_EQ(readFile(dir.file("index.hol")), fileOf({a, b}));
  EXPECT_EQ(entryCount(dir.path()), 1u);
}

TEST(HollerithIndexFile, NextSequenceNumberIsOneAboveTheHighest) {
  TempDir dir;
  int count = -5;
  EXPECT_EQ(hollrec_GetNextSeqNum(dir.path().c_str(), &count), -1);
  EXPECT_EQ(count, 0);
  writeFile(dir.file("INDEX.HOL"), fileOf({seqRecord("0001"), seqRecord("0007"), seqRecord("0003")}));
  EXPECT_EQ(hollrec_GetNextSeqNum(dir.path().c_str(), &count), 8);
  EXPECT_EQ(count, 3);
  writeFile(dir.file("INDEX.HOL"), fileOf({seqRecord("    "), seqRecord(" 12x")}));
  EXPECT_EQ(hollrec_GetNextSeqNum(dir.path().c_str(), nullptr), 13);
  writeFile(dir.file("INDEX.HOL"), fileOf({seqRecord("    ")}));
  EXPECT_EQ(hollrec_GetNextSeqNum(dir.path().c_str(), nullptr), 1);
  writeFile(dir.file("INDEX.HOL"), "");
  EXPECT_EQ(hollrec_GetNextSeqNum(dir.path().c_str(), &count), -1);
  EXPECT_EQ(count, 0);
}

TEST(HollerithIndexFile, ChangeReplacesOneRecordAndRefusesIndexesOutsideTheFile) {
  TempDir dir;
  const auto a = seqRecord("0001"), b = seqRecord("0002"), x = seqRecord("0002", 'X');
  writeFile(dir.file("INDEX.HOL"), fileOf({a, b}));
  EXPECT_EQ(hollrec_ChangeHollRec(&x, 1, dir.path().c_str()), 100);
  EXPECT_EQ(readFile(dir.file("INDEX.HOL")), fileOf({a, x}));
  EXPECT_EQ(hollrec_ChangeHollRec(&x, 2, dir.path().c_str()), -1);
  EXPECT_EQ(hollrec_ChangeHollRec(&x, -1, dir.path().c_str()), -1);
  EXPECT_EQ(readFile(dir.file("INDEX.HOL")), fileOf({a, x}));
}

TEST(HollerithIndexFile, ChangeMakesAReadOnlyIndexWritable) {
  TempDir dir;
  const auto a = seqRecord("0001"), x = seqRecord("0001", 'X');
  writeFile(dir.file("INDEX.HOL"), fileOf({a}));
  ASSERT_EQ(::chmod(dir.file("INDEX.HOL").c_str(), 0444), 0);
  EXPECT_EQ(hollrec_ChangeHollRec(&x, 0, dir.path().c_str()), 100);
  struct stat st {};
  ASSERT_EQ(::stat(dir.file("INDEX.HOL").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST(HollerithIndexFile, TruncateKeepsTheFirstRecordsOnly) {
  TempDir dir;
  const auto a = seqRecord("0001"), b = seqRecord("0002"), c = seqRecord("0003");
  writeFile(dir.file("INDEX.HOL"), fileOf({a, b, c}));
  EXPECT_EQ(hollrec_TruncFile(3, dir.path().c_str()), 0);
  EXPECT_EQ(hollrec_TruncFile(4, dir.path().c_str()), 0);
  EXPECT_EQ(hollrec_TruncFile(0, dir.path().c_str()), 0);
  EXPECT_EQ(readFile(dir.file("INDEX.HOL")), fileOf({a, b, c}));
  EXPECT_EQ(hollrec_TruncFile(1, dir.path().c_str()), 1);
  EXPECT_EQ(readFile(dir.file("INDEX.HOL")), fileOf({a}));
  EXPECT_EQ(entryCount(dir.path()), 1u);
}

TEST(HollerithIndexFile, FindAndDeleteRemovesOneRecordAndTheLastRemovesTheFile) {
  TempDir dir;
  const auto a = seqRecord("0001"), b = seqRecord("0002"), c = seqRecord("0003");
  writeFile(dir.file("INDEX.HOL"), fileOf({a, b, c}));
  EXPECT_EQ(hollrec_FindAndDelRec(dir.path().c_str(), nameWithSeq("0002").c_str()), 1);
  EXPECT_EQ(readFile(dir.file("INDEX.HOL")), fileOf({a, c}));
  EXPECT_EQ(hollrec_FindAndDelRec(dir.path().c_str(), nameWithSeq("0009").c_str()), 0);
  EXPECT_EQ(readFile(dir.file("INDEX.HOL")), fileOf({a, c}));
  EXPECT_EQ(hollrec_FindAndDelRec(dir.path().c_str(), nameWithSeq("0001").c_str()), 1);
  EXPECT_EQ(hollrec_FindAndDelRec(dir.path().c_str(), nameWithSeq("0003").c_str()), 0);
  EXPECT_EQ(entryCount(dir.path()), 0u);
}

TEST(HollerithIndexFile, DroppingADeletedImagesRecordReportsWhatHappened) {
  TempDir dir;
  const auto a = seqRecord("0001"), b = seqRecord("0002");
  writeFile(dir.file("INDEX.HOL"), fileOf({a, b}));
  EXPECT_EQ(dropRecordOfDeletedImage(dir.path().c_str(), nameWithSeq("0005").c_str()), hv::Status::NotFound);
  EXPECT_EQ(dropRecordOfDeletedImage(dir.path().c_str(), nameWithSeq("0001").c_str()), hv::Status::Ok);
  EXPECT_EQ(readFile(dir.file("INDEX.HOL")), fileOf({b}));
  EXPECT_EQ(dropRecordOfDeletedImage(dir.path().c_str(), nameWithSeq("0002").c_str()),
            hv::Status::IndexRemoved);
  EXPECT_EQ(entryCount(dir.path()), 0u);
}

// The shared read-modify-write says what it did; removing an index that is
// not there is nothing done, not a success.
TEST(IndexFileEdit, ReportsWhatTheEditDid) {
  TempDir dir;
  const std::string folder = *folderArgument(dir.path().c_str());
  auto decide = [](IndexEdit choice) {
    return [choice](std::optional<std::string>&) { return choice; };
  };
  EXPECT_EQ(editIndexFile(folder, "INDEX.HOL", decide(IndexEdit::Remove)), hv::Status::NothingToDo);
  EXPECT_EQ(editIndexFile(folder, "INDEX.HOL", decide(IndexEdit::Write)), hv::Status::NothingToDo);
  EXPECT_EQ(entryCount(dir.path()), 0u);
  writeFile(dir.file("INDEX.HOL"), "x");
  EXPECT_EQ(editIndexFile(folder, "INDEX.HOL", decide(IndexEdit::Keep)), hv::Status::NothingToDo);
  EXPECT_EQ(editIndexFile(folder, "INDEX.HOL", decide(IndexEdit::Write)), hv::Status::Ok);
  EXPECT_EQ(readFile(dir.file("INDEX.HOL")), "x");
  EXPECT_EQ(editIndexFile(folder, "INDEX.HOL", decide(IndexEdit::Remove)), hv::Status::IndexRemoved);
  EXPECT_EQ(entryCount(dir.path()), 0u);
}

// An index that cannot be read is a failure to report, not a record that is
// missing: the image's record may still be in it.
TEST(HollerithIndexFile, DroppingFromAnUnreadableIndexIsAFailureNotAMissingRecord) {
  TempDir dir;
  ASSERT_EQ(::mkdir(dir.file("INDEX.HOL").c_str(), 0755), 0);
  EXPECT_EQ(dropRecordOfDeletedImage(dir.path().c_str(), nameWithSeq("0001").c_str()), hv::Status::Failed);
  EXPECT_EQ(hollrec_FindAndDelRec(dir.path().c_str(), nameWithSeq("0001").c_str()), 0);
}

// Every rewriting operation, failed at each step of its rewrite, leaves the
// index byte-identical (or, past the rename, exactly the new file) and no
// temporary file behind.
TEST(HollerithIndexFile, FailuresAtEveryRewriteStepLoseNothing) {
  const auto a = seqRecord("0001"), b = seqRecord("0002"), c = seqRecord("0003"), x = seqRecord("0002", 'X');
  const std::string before = fileOf({a, b, c});
  struct Op {
    const char* name;
    std::function<bool(const std::string&)> run;
    std::string after;
  };
  std::vector<Op> ops = {
      {"append", [&](const std::string& d) { return hollrec_AppendHollRec(&x, d.c_str()) == 2; },
       fileOf({a, b, c, x})},
      {"change", [&](const std::string& d) { return hollrec_ChangeHollRec(&x, 1, d.c_str()) == 100; },
       fileOf({a, x, c})},
      {"truncate", [&](const std::string& d) { return hollrec_TruncFile(2, d.c_str()) == 1; },
       fileOf({a, b})},
      {"delete",
       [&](const std::string& d) { return hollrec_FindAndDelRec(d.c_str(), nameWithSeq("0002").c_str()) == 1; },
       fileOf({a, c})},
      {"drop",
       [&](const std::string& d) {
         return dropRecordOfDeletedImage(d.c_str(), nameWithSeq("0003").c_str()) == hv::Status::Ok;
       },
       fileOf({a, b})},
  };
  for (const auto& op : ops) {
    for (int at = 0;; ++at) {
      SCOPED_TRACE(std::string(op.name) + " failing at step " + std::to_string(at));
      TempDir dir;
      writeFile(dir.file("INDEX.HOL"), before);
      test::FaultPlan plan;
      plan.failAt = at;
      plan.err = ENOSPC;
      bool ok;
      {
        test::FaultScope scope(&plan);
        ok = op.run(dir.path());
      }
      std::string now = readFile(dir.file("INDEX.HOL"));
      EXPECT_EQ(now, ok ? op.after : before);
      EXPECT_EQ(entryCount(dir.path()), 1u);
      if (plan.seen <= at) break;  // the whole rewrite ran without reaching the fault
    }
  }
}

// The writer killed before each step of a delete: the index on disk is the
// whole old or the whole new file, and the next change clears the leftover.
TEST(HollerithIndexFile, AWriterKilledAtAnyStepLeavesTheOldOrTheNewIndex) {
  const auto a = seqRecord("0001"), b = seqRecord("0002"), c = seqRecord("0003");
  const std::string before = fileOf({a, b, c}), after = fileOf({a, c});
  for (int at = 0;; ++at) {
    SCOPED_TRACE("killed before step " + std::to_string(at));
    TempDir dir;
    writeFile(dir.file("INDEX.HOL"), before);
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      test::FaultPlan plan;
      plan.failAt = at;
      platform::setRewriteFaultHook(
          [](platform::RewriteStep, void* ctx) {
            auto* p = static_cast<test::FaultPlan*>(ctx);
            if (p->seen++ == p->failAt) ::_exit(9);
            return 0;
          },
          &plan);
      ::_exit(hollrec_FindAndDelRec(dir.path().c_str(), nameWithSeq("0002").c_str()) == 1 ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    const std::string now = readFile(dir.file("INDEX.HOL"));
    EXPECT_TRUE(now == before || now == after);
    EXPECT_LE(entryCount(dir.path()), 2u);
    const auto d = seqRecord("0004");
    ASSERT_EQ(hollrec_AppendHollRec(&d, dir.path().c_str()), 2);
    EXPECT_EQ(entryCount(dir.path()), 1u);
    if (WEXITSTATUS(status) == 0) {
      EXPECT_EQ(now, after);
      break;  // the writer ran to the end
    }
    ASSERT_EQ(WEXITSTATUS(status), 9);
  }
}

// Two processes appending to one index at once: every record arrives once.
TEST(HollerithIndexFile, ConcurrentAppendsOfOurProgramsNeverLoseARecord) {
  TempDir dir;
  writeFile(dir.file("INDEX.HOL"), fileOf({seqRecord("0000")}));
  constexpr int kPerWriter = 60;
  std::vector<pid_t> kids;
  for (char writer : {'A', 'B'}) {
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      for (int i = 0; i < kPerWriter; ++i) {
        char seq[16];
        std::snprintf(seq, sizeof seq, "%c%03d", writer, i);
        auto r = seqRecord(std::string(seq, 4), writer);
        if (hollrec_AppendHollRec(&r, dir.path().c_str()) != 2) ::_exit(1);
      }
      ::_exit(0);
    }
    kids.push_back(pid);
  }
  for (pid_t pid : kids) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::string file = readFile(dir.file("INDEX.HOL"));
  ASSERT_EQ(file.size(), (1 + 2 * kPerWriter) * 100u + 2);
  std::set<std::string> seqs;
  for (std::size_t i = 0; i < file.size() / 100; ++i) seqs.insert(file.substr(i * 100 + 78, 4));
  EXPECT_EQ(seqs.size(), 1u + 2 * kPerWriter);
  EXPECT_EQ(file.substr(file.size() - 2), "\r\n");
}

}  // namespace
}  // namespace hv::records
