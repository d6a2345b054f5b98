#include "records/records_report.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <vector>

#include "docindex/docfiles_record.h"
#include "docindex/docfiles_translate.h"
#include "platform/file_io.h"
#include "platform/name_lookup.h"
#include "records/hollrec.h"
#include "records/hollrec_layout.h"
#include "records/index_file.h"
#include "records/jmxholl.h"
#include "records/jmxholl_layout.h"

namespace hv::records {
namespace {

// One named value of a record.
struct Item {
  std::string name;
  std::string value;
};

struct Entry {
  std::vector<Item> items;
};

struct Section {
  std::string file;
  bool present = false;
  std::vector<Entry> entries;
};

// Printable form of record bytes: control and non-ASCII bytes as \xNN.
std::string printable(const char* p, std::size_t n) {
  std::string out;
  for (std::size_t i = 0; i < n; ++i) {
    const auto c = static_cast<unsigned char>(p[i]);
    if (c >= 0x20 && c < 0x7f && c != '\\') {
      out.push_back(static_cast<char>(c));
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

std::string printable(const std::string& s) { return printable(s.data(), s.size()); }

Section hollerithSection(const std::string& dir) {
  Section s;
  s.file = "INDEX.HOL";
  auto file = readIndexFile(indexFilePath(dir, "INDEX.HOL"));
  if (!file) return s;
  s.present = true;
  for (std::size_t i = 0; i < file->size() / holl::kRecordSize; ++i) {
    RecordHollerith rec;
    std::memcpy(rec.bytes, file->data() + i * holl::kRecordSize, holl::kRecordSize);
    RecordHollerith copy = rec;
    char name[holl::kLongNameLength + 1];
    const bool named = hollrec_XlateRecToLongName(&copy, name) == 1;
    Entry e;
    e.items.push_back({"index", std::to_string(i)});
    e.items.push_back({"long name", named ? printable(name, std::strlen(name)) : std::string()});
    for (const auto& f : holl::kNamedFields) e.items.push_back({f.caption, printable(rec.bytes + f.field.offset, f.field.width)});
    e.items.push_back({"Edit history", printable(rec.bytes + holl::kEditHistory.offset, holl::kEditHistory.width)});
    s.entries.push_back(std::move(e));
  }
  return s;
}

Section jedmicsSection(const std::string& dir) {
  Section s;
  s.file = "JMX.HOL";
  auto file = readIndexFile(indexFilePath(dir, "JMX.HOL"));
  if (!file) return s;
  s.present = true;
  for (std::size_t i = 0; i < file->size() / jmx::kRecordSize; ++i) {
    const char* r = file->data() + i * jmx::kRecordSize;
    Entry e;
    e.items.push_back({"index", std::to_string(i)});
    e.items.push_back({"Seq#", printable(r + jmx::kSeqNum, jmx::kSeqNumSize)});
    for (const auto& f : jmx::kFieldSpecs) {
      const std::size_t len = ::strnlen(r + f.offset, f.width);
      if (len > 0) e.items.push_back({f.key, printable(r + f.offset, len)});
    }
    e.items.push_back({"Edit history", printable(r + jmx::kEditHistory, jmx::kEditHistorySize)});
    s.entries.push_back(std::move(e));
  }
  return s;
}

Section aliasSection(const std::string& dir) {
  Section s;
  s.file = "DOCFILES.IDX";
  auto path = docindex::indexPath(dir);
  std::string bytes;
  if (!path || !platform::readWholeFile(*path, bytes, kMaxIndexFileBytes)) return s;
  s.present = true;
  std::size_t i = 0;
  for (const auto& r : docindex::parseRecords(bytes)) {
    Entry e;
    e.items.push_back({"index", std::to_string(i++)});
    e.items.push_back({"long name", printable(r.longName())});
    e.items.push_back({"short name", printable(r.shortName())});
    e.items.push_back({"access", printable(&r.bytes()[docindex::layout::kAccess], 1)});
    e.items.push_back({"usable", r.usable() ? "yes" : "no (ignored)"});
    s.entries.push_back(std::move(e));
  }
  return s;
}

std::string jsonString(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out.push_back('\\');
    out.push_back(c);
  }
  return out + "\"";
}

std::string asText(const std::string& dir, const std::vector<Section>& sections) {
  std::string out = "Records in " + dir + "\n";
  for (const auto& s : sections) {
    out += "\n" + s.file + ": ";
    if (!s.present) {
      out += "absent\n";
      continue;
    }
    out += std::to_string(s.entries.size()) + " record(s)\n";
    for (const auto& e : s.entries) {
      out += "  record " + e.items[0].value + "\n";
      for (std::size_t i = 1; i < e.items.size(); ++i)
        out += "    " + e.items[i].name + ": [" + e.items[i].value + "]\n";
    }
  }
  return out;
}

std::string asJson(const std::string& dir, const std::vector<Section>& sections) {
  std::string out = "{\n  \"folder\": " + jsonString(printable(dir)) + ",\n  \"files\": {";
  bool firstSection = true;
  for (const auto& s : sections) {
    out += firstSection ? "\n" : ",\n";
    firstSection = false;
    out += "    " + jsonString(s.file) + ": ";
    if (!s.present) {
      out += "null";
      continue;
    }
    out += "[";
    for (std::size_t n = 0; n < s.entries.size(); ++n) {
      out += n == 0 ? "\n      {" : ",\n      {";
      const auto& items = s.entries[n].items;
      for (std::size_t i = 0; i < items.size(); ++i) {
        out += (i == 0 ? "" : ", ") + jsonString(items[i].name) + ": ";
        out += items[i].name == "index" ? items[i].value : jsonString(items[i].value);
      }
      out += "}";
    }
    out += s.entries.empty() ? "]" : "\n    ]";
  }
  return out + "\n  }\n}\n";
}

}  // namespace

std::optional<std::string> recordsReport(const std::string& folder, ReportFormat format, std::string& error) {
  struct stat st {};
  if (folder.empty() || ::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    error = "not a folder: " + folder;
    return std::nullopt;
  }
  const std::string dir = platform::withTrailingSlash(folder);
  std::vector<Section> sections = {hollerithSection(dir), jedmicsSection(dir), aliasSection(dir)};
  return format == ReportFormat::Json ? asJson(dir, sections) : asText(dir, sections);
}

}  // namespace hv::records
