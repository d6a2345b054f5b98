#include "records/records_report.h"

#include <cstring>

#include <gtest/gtest.h>

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
