#pragma once
// A folder's index records in readable form: every Hollerith record of
// INDEX.HOL with its long name and named fields, every JEDMICS record of
// JMX.HOL with its named fields, and every DOCFILES.IDX record with its
// access letter; as text for people or JSON for scripts.
#include <optional>
#include <string>

namespace hv::records {

enum class ReportFormat { Text, Json };

// The report of folder, or nullopt (with error set) when the folder cannot be
// read. Index files that are missing are reported as absent.
std::optional<std::string> recordsReport(const std::string& folder, ReportFormat format, std::string& error);

}  // namespace hv::records
