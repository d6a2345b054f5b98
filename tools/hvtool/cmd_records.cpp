#include "tools/hvtool/cmd_records.h"

#include <cstdio>

#include "records/records_report.h"

namespace {

constexpr char kUsage[] =
    "usage: hvtool records DIR [--json]\n"
    "Lists the records of DIR's INDEX.HOL (each Hollerith record with its long name\n"
    "and fields), JMX.HOL (each JEDMICS record with its named fields) and\n"
    "DOCFILES.IDX (each alias record with its access letter).\n"
    "  --json  print JSON for scripts\n"
    "A file that is there but cannot be read, or that is not whole records of its\n"
    "kind (bytes left over, records separated by CR LF, records unlike its kind),\n"
    "is named in the listing and on standard error, what is sound in it is still\n"
    "listed, and the exit status is 1.\n";

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
  auto outcome = hv::records::writeRecordsReport(folder, format, [](std::string_view piece) {
    return std::fwrite(piece.data(), 1, piece.size(), stdout) == piece.size();
  });
  if (!outcome.written) {
    std::fprintf(stderr, "hvtool records: %s\n", outcome.error.c_str());
    return 1;
  }
  if (std::fflush(stdout) != 0) {
    std::perror("hvtool records: standard output");
    return 1;
  }
  for (const auto& p : outcome.problems) std::fprintf(stderr, "hvtool records: %s\n", p.c_str());
  return outcome.problems.empty() ? 0 : 1;
}
