#include "tools/hvtool/cmd_records.h"

#include <cstdio>

#include "records/records_report.h"

namespace {

constexpr char kUsage[] =
    "usage: hvtool records DIR [--json]\n"
    "Lists the records of DIR's INDEX.HOL (each Hollerith record with its long name\n"
    "and fields), JMX.HOL (each JEDMICS record with its named fields) and\n"
    "DOCFILES.IDX (each alias record with its access letter).\n"
    "  --json  print JSON for scripts\n";

}  // namespace

int hvtoolRecords(const std::vector<std::string>& args) {
  std::string folder;
  auto format = hv::records::ReportFormat::Text;
  for (const auto& a : args) {
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (a == "--json") {
      format = hv::records::ReportFormat::Json;
    } else if (!a.empty() && a[0] == '-') {
      std::fprintf(stderr, "hvtool records: unknown option %s\n%s", a.c_str(), kUsage);
      return 2;
    } else if (folder.empty()) {
      folder = a;
    } else {
      std::fprintf(stderr, "hvtool records: only one folder may be given\n%s", kUsage);
      return 2;
    }
  }
  if (folder.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::string error;
  auto report = hv::records::recordsReport(folder, format, error);
  if (!report) {
    std::fprintf(stderr, "hvtool records: %s\n", error.c_str());
    return 1;
  }
  std::fputs(report->c_str(), stdout);
  return 0;
}
