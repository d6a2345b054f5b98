// Lists a folder whose INDEX.HOL, JMX.HOL or DOCFILES.IDX (chosen by the
// first byte) is the rest of the input, in both forms, and checks that the
// listing names as many records as the file holds whole ones.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_scratch.h"
#include "records/records_report.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const char* const kNames[] = {"INDEX.HOL", "JMX.HOL", "DOCFILES.IDX"};
  static const std::size_t kSizes[] = {100, 1072, 80};
  const unsigned which = data[0] % 3;
  hv::fuzz::putFile(kNames[which], data + 1, size - 1);
  for (auto format : {hv::records::ReportFormat::Text, hv::records::ReportFormat::Json}) {
    // Each form's record marker: text values are not escaped, so the JSON
    // marker may stand inside one.
    const std::string_view marker =
        format == hv::records::ReportFormat::Json ? "{\"index\": " : "\n  record ";
    std::size_t records = 0;
    auto outcome = hv::records::writeRecordsReport(hv::fuzz::scratchDir(), format, [&](std::string_view piece) {
      for (std::size_t at = piece.find(marker); at != std::string_view::npos; at = piece.find(marker, at + 1))
        ++records;
      return true;
    });
    if (!outcome.written) std::abort();
    // Whole records, in step or separated by CR LF, never more.
    const std::size_t bytes = size - 1;
    if (records > bytes / kSizes[which]) std::abort();
  }
  return 0;
}
