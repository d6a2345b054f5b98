#pragma once
// A folder's index records in readable form: every Hollerith record of
// INDEX.HOL with its long name and named fields, every JEDMICS record of
// JMX.HOL with its named fields, and every DOCFILES.IDX record with its
// access letter; as text for people or JSON for scripts.
//
// The report is streamed: the files are read a piece at a time and the
// report is handed out in pieces, so its memory does not grow with the
// files. A file that is there but cannot be read, or whose bytes are not
// whole records of its kind, is named with what is wrong with it (text: a
// line after the file's heading; JSON: the "problems" object, present only
// when there are any); what is sound in it is still listed.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/export.h"

namespace hv::records {

enum class ReportFormat { Text, Json };

// Receives the report a piece at a time; false stops the report.
using ReportSink = std::function<bool(std::string_view piece)>;

struct ReportOutcome {
  bool written = false;               // false: the folder cannot be read or the sink failed
  std::string error;                  // why not written
  std::vector<std::string> problems;  // "FILE: what is wrong", one per unsound file
};

HV_EXPORT ReportOutcome writeRecordsReport(const std::string& folder, ReportFormat format,
                                           const ReportSink& sink);

// The whole report as one string, or nullopt (with error set) when the folder
// cannot be read. Index files that are missing are reported as absent.
HV_EXPORT std::optional<std::string> recordsReport(const std::string& folder, ReportFormat format,
                                                   std::string& error);

}  // namespace hv::records
