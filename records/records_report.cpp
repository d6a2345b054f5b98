#include "records/records_report.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include "docindex/docfiles_cache.h"
#include "docindex/docfiles_layout.h"
#include "docindex/docfiles_record.h"
#include "docindex/docfiles_translate.h"
#include "platform/atomic_file.h"
#include "platform/name_lookup.h"
#include "records/hollrec.h"
#include "records/hollrec_layout.h"
#include "records/index_file.h"
#include "records/index_scan.h"
#include "records/jmxholl.h"
#include "records/jmxholl_layout.h"

namespace hv::records {
namespace {

namespace dl = docindex::layout;

// Report pieces are handed to the sink once they reach this size.
constexpr std::size_t kFlushBytes = 64u << 10;

// Appends the printable form of record bytes: control and non-ASCII bytes
// (and the backslash) as \xNN; for JSON also with '"' and '\' escaped.
// Bytes copied as they are: printable ASCII but the backslash, and for JSON
// not the quote either.
struct PlainBytes {
  bool text[256] = {}, json[256] = {};
  constexpr PlainBytes() {
    for (int c = 0x20; c < 0x7f; ++c) text[c] = json[c] = c != '\\';
    json[static_cast<unsigned char>('"')] = false;
  }
};
constexpr PlainBytes kPlain;

void appendPrintable(std::string& out, const char* p, std::size_t n, bool json = false) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const bool* plain = json ? kPlain.json : kPlain.text;
  for (std::size_t i = 0; i < n;) {
    std::size_t run = i;
    while (run < n && plain[static_cast<unsigned char>(p[run])]) ++run;
    out.append(p + i, run - i);
    if (run == n) break;
    const auto c = static_cast<unsigned char>(p[run]);
    if (json) out.push_back('\\');
    if (c == '"') {
      out.push_back('"');
    } else {
      const char hex[4] = {'\\', 'x', kHex[c >> 4], kHex[c & 15]};
      out.append(hex, 4);
    }
    i = run + 1;
  }
}

std::string printable(const std::string& s) {
  std::string out;
  appendPrintable(out, s.data(), s.size());
  return out;
}

// Appends a JSON string of already printable text (only '"' and '\' escaped).
void appendJsonString(std::string& out, std::string_view s) {
  out.push_back('"');
  for (char c : s) {
    if (c == '"' || c == '\\') out.push_back('\\');
    out.push_back(c);
  }
  out.push_back('"');
}

// Writes the report a piece at a time in either form.
class Writer {
 public:
  Writer(ReportFormat format, const ReportSink& sink) : json_(format == ReportFormat::Json), sink_(sink) {
    out_.reserve(kFlushBytes + 4096);
  }

  bool json() const { return json_; }
  std::string& out() { return out_; }
  bool ok() const { return ok_; }

  void beginRecord(std::uint64_t index) {
    if (json_) {
      out_ += records_++ == 0 ? "\n      {\"index\": " : ",\n      {\"index\": ";
      out_ += std::to_string(index);
    } else {
      out_ += "  record ";
      out_ += std::to_string(index);
      out_ += '\n';
    }
  }
  // One named value; bytes are made printable.
  void item(const char* name, const char* bytes, std::size_t n) {
    if (json_) {
      out_ += ", \"";
      out_ += name;
      out_ += "\": \"";
      appendPrintable(out_, bytes, n, true);
      out_ += '"';
    } else {
      out_ += "    ";
      out_ += name;
      out_ += ": [";
      appendPrintable(out_, bytes, n);
      out_ += "]\n";
    }
  }
  void endRecord() {
    if (json_) out_ += '}';
    flushIfFull();
  }
  void startRecords() { records_ = 0; }
  std::uint64_t recordsWritten() const { return records_; }

  void flushIfFull() {
    if (out_.size() >= kFlushBytes) flush();
  }
  void flush() {
    if (ok_ && !out_.empty()) ok_ = sink_(out_);
    out_.clear();
  }

 private:
  bool json_;
  const ReportSink& sink_;
  std::string out_;
  bool ok_ = true;
  std::uint64_t records_ = 0;
};

bool hollerithLooksRight(const char* r) { return looksLikeText(r, holl::kRecordSize); }
bool jedmicsLooksRight(const char* r) { return looksLikeText(r, jmx::kRecordSize); }
bool aliasLooksRight(const char* r) {
  const char access = r[dl::kAccess];
  return std::strchr("RWD", access) != nullptr && access != '\0' && looksLikeText(r, dl::kRecordSize);
}

void hollerithRecord(Writer& w, std::uint64_t i, const char* bytes) {
  RecordHollerith copy;
  std::memcpy(copy.bytes, bytes, holl::kRecordSize);
  char name[holl::kLongNameLength + 1];
  const bool named = hollrec_XlateRecToLongName(&copy, name) == 1;
  w.beginRecord(i);
  w.item("long name", name, named ? std::strlen(name) : 0);
  for (const auto& f : holl::kNamedFields) w.item(f.caption, bytes + f.field.offset, f.field.width);
  w.item("Edit history", bytes + holl::kEditHistory.offset, holl::kEditHistory.width);
  w.endRecord();
}

void jedmicsRecord(Writer& w, std::uint64_t i, const char* r) {
  w.beginRecord(i);
  w.item("Seq#", r + jmx::kSeqNum, jmx::kSeqNumSize);
  for (const auto& f : jmx::kFieldSpecs) {
    const std::size_t len = ::strnlen(r + f.offset, f.width);
    if (len > 0) w.item(f.key, r + f.offset, len);
  }
  w.item("Edit history", r + jmx::kEditHistory, jmx::kEditHistorySize);
  w.endRecord();
}

void aliasRecord(Writer& w, std::uint64_t i, const char* bytes) {
  const auto r = docindex::DocFileRecord::fromBytes(bytes);
  const std::string longName = r.longName(), shortName = r.shortName();
  w.beginRecord(i);
  w.item("long name", longName.data(), longName.size());
  w.item("short name", shortName.data(), shortName.size());
  w.item("access", bytes + dl::kAccess, 1);
  const char* usable = r.usable() ? "yes" : "no (ignored)";
  w.item("usable", usable, std::strlen(usable));
  w.endRecord();
}

struct Kind {
  const char* file;
  const char* recordName;  // "Hollerith", ...
  std::size_t recordSize;
  std::uint64_t maxBytes;
  RecordCheck check;
  void (*list)(Writer&, std::uint64_t, const char*);
};

const Kind kKinds[] = {
    {"INDEX.HOL", "Hollerith", holl::kRecordSize, kMaxIndexFileBytes, hollerithLooksRight, hollerithRecord},
    {"JMX.HOL", "JEDMICS", jmx::kRecordSize, kMaxIndexFileBytes, jedmicsLooksRight, jedmicsRecord},
    {"DOCFILES.IDX", "alias", dl::kRecordSize, docindex::kMaxIndexBytes, aliasLooksRight, aliasRecord},
};

std::string listOf(const std::vector<std::uint64_t>& v) {
  std::string s;
  for (std::size_t i = 0; i < v.size(); ++i) s += (i ? ", " : "") + std::to_string(v[i]);
  return s;
}

// Sentences on what is wrong with a readable file; empty when it is sound.
std::vector<std::string> notesOn(const Kind& k, const IndexShape& s) {
  std::vector<std::string> notes;
  if (s.separated())
    notes.push_back("records are separated by CR LF (" + std::to_string(s.stride) + " bytes each); listed in step");
  if (s.leftover != 0 || s.separated())
    notes.push_back(std::to_string(s.records) + " whole record(s) of " + std::to_string(s.recordSize) + " bytes, " +
                    std::to_string(s.leftover) + " byte(s) left over" + (s.leftover ? " (not listed)" : ""));
  if (s.unlike != 0)
    notes.push_back(std::to_string(s.unlike) + " of " + std::to_string(s.records) + " record(s) do not look like " +
                    k.recordName + " records (first: " + listOf(s.firstUnlike) + ")");
  return notes;
}

std::string pathOf(const std::string& dir, const Kind& k) {
  if (std::strcmp(k.file, dl::kIndexName) == 0) {
    auto p = docindex::indexPath(dir);
    return p ? *p : dir + k.file;
  }
  return indexFilePath(dir, k.file);
}

// The JSON of one unsound file for the "problems" object.
std::string problemJson(const IndexShape& s, const std::vector<std::string>& notes) {
  std::string out = "{\"state\": ";
  if (s.status == Status::ReadFailed) {
    out += "\"unreadable\", \"reason\": ";
    appendJsonString(out, printable(s.reason));
    return out + "}";
  }
  out += "\"malformed\", \"whole records\": " + std::to_string(s.records) +
         ", \"record bytes\": " + std::to_string(s.recordSize) + ", \"bytes left over\": " +
         std::to_string(s.leftover) + ", \"separated by CR LF\": " + (s.separated() ? "true" : "false") +
         ", \"records unlike\": " + std::to_string(s.unlike) + ", \"first unlike\": [" + listOf(s.firstUnlike) +
         "], \"notes\": [";
  for (std::size_t i = 0; i < notes.size(); ++i) {
    if (i) out += ", ";
    appendJsonString(out, notes[i]);
  }
  return out + "]}";
}

}  // namespace

ReportOutcome writeRecordsReport(const std::string& folder, ReportFormat format, const ReportSink& sink) {
  ReportOutcome outcome;
  struct stat st {};
  if (folder.empty() || ::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    outcome.error = "not a folder: " + folder;
    return outcome;
  }
  const std::string dir = platform::withTrailingSlash(folder);
  Writer w(format, sink);
  std::vector<std::pair<std::string, std::string>> problems;  // file, JSON
  if (w.json()) {
    w.out() += "{\n  \"folder\": ";
    appendJsonString(w.out(), printable(dir));
    w.out() += ",\n  \"files\": {";
  } else {
    w.out() += "Records in " + dir + "\n";
  }
  bool first = true;
  for (const Kind& k : kKinds) {
    IndexScan scan(pathOf(dir, k), k.recordSize, k.maxBytes, k.check);
    const IndexShape& s = scan.shape();
    const std::vector<std::string> notes = s.status == Status::Ok ? notesOn(k, s) : std::vector<std::string>{};
    // A file that changes between its scan and its listing is listed only in
    // part; that is a problem of the report, not a sound file.
    const auto list = [&] {
      const Status listed = scan.forEach([&](std::uint64_t i, const char* rec) { k.list(w, i, rec); });
      if (listed == Status::DataEnded)
        outcome.problems.push_back(std::string(k.file) + ": listing stopped: the file became shorter");
      else if (listed != Status::Ok)
        outcome.problems.push_back(std::string(k.file) + ": listing stopped: " + platform::systemReason(errno));
    };
    if (s.status == Status::ReadFailed) {
      outcome.problems.push_back(std::string(k.file) + ": present but unreadable: " + s.reason);
      problems.emplace_back(k.file, problemJson(s, notes));
    } else if (!notes.empty()) {
      for (const auto& n : notes) outcome.problems.push_back(std::string(k.file) + ": " + n);
      problems.emplace_back(k.file, problemJson(s, notes));
    }
    if (w.json()) {
      w.out() += first ? "\n    \"" : ",\n    \"";
      w.out() += k.file;
      w.out() += "\": ";
      if (s.status != Status::Ok) {
        w.out() += "null";
      } else {
        w.out() += '[';
        w.startRecords();
        list();
        w.out() += w.recordsWritten() == 0 ? "]" : "\n    ]";
      }
    } else {
      w.out() += "\n";
      w.out() += k.file;
      if (s.status == Status::NotFound) {
        w.out() += ": absent\n";
      } else if (s.status == Status::ReadFailed) {
        w.out() += ": present but unreadable: " + printable(s.reason) + "\n";
      } else {
        w.out() += ": " + std::to_string(s.records) + " record(s)\n";
        for (const auto& n : notes) w.out() += "  note: " + n + "\n";
        list();
      }
    }
    first = false;
    w.flushIfFull();
  }
  if (w.json()) {
    w.out() += "\n  }";
    if (!problems.empty()) {
      w.out() += ",\n  \"problems\": {";
      for (std::size_t i = 0; i < problems.size(); ++i)
        w.out() += (i ? ",\n    \"" : "\n    \"") + problems[i].first + "\": " + problems[i].second;
      w.out() += "\n  }";
    }
    w.out() += "\n}\n";
  }
  w.flush();
  outcome.written = w.ok();
  if (!outcome.written) outcome.error = "the report could not be written";
  return outcome;
}

std::optional<std::string> recordsReport(const std::string& folder, ReportFormat format, std::string& error) {
  std::string all;
  ReportOutcome o = writeRecordsReport(folder, format, [&](std::string_view piece) {
    all.append(piece);
    return true;
  });
  if (!o.written) {
    error = o.error;
    return std::nullopt;
  }
  return all;
}

}  // namespace hv::records
