#include "formats/tag_tables.h"

#include <cstdlib>
#include <atomic>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "formats/fm_messages.h"
#include "platform/exe_dir.h"
#include "platform/file_io.h"

namespace hv::formats {
namespace {

constexpr std::size_t kTableFileMax = 1u << 20;

// Loaded once and then only read: `current` is published after the load and
// read without the lock. Tables replaced after a change of directory are
// kept (they are few, and a reader may still hold them).
struct LoadState {
  std::mutex lock;
  std::atomic<const TagTables*> current{nullptr};
  std::vector<std::unique_ptr<TagTables>> loaded;
  std::string dir;
};
LoadState& state() {
  static LoadState s;
  return s;
}

// Splits text into lines without their line ends.
std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(std::move(line));
    at = end + 1;
  }
  return out;
}

bool isComment(const std::string& line) { return !line.empty() && line[0] == '#'; }

long field(const std::vector<std::string>& fields, std::size_t i) {
  if (i >= fields.size()) return 0;
  const std::string& f = fields[i];
  std::size_t k = 0;
  while (k < f.size() && (f[k] == ' ' || f[k] == '\t')) ++k;
  bool negative = k < f.size() && f[k] == '-';
  if (negative) ++k;
  long v = 0;
  for (; k < f.size() && f[k] >= '0' && f[k] <= '9'; ++k) {
    v = v * 10 + (f[k] - '0');
    if (v > 0x7FFFFFFF) v = 0x7FFFFFFF;
  }
  return negative ? -v : v;
}

TagEntry parseEntry(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t at = 0;
  for (;;) {
    std::size_t comma = line.find(',', at);
    fields.push_back(line.substr(at, comma == std::string::npos ? std::string::npos : comma - at));
    if (comma == std::string::npos) break;
    at = comma + 1;
  }
  TagEntry e;
  std::string name = fields[0];
  while (!name.empty() && name.back() == ' ') name.pop_back();
  e.name = name.substr(0, kTagNameChars);
  e.kind = static_cast<int>(field(fields, 1));
  e.value = field(fields, 2);
  e.cls = static_cast<int>(field(fields, 3)) & 3;
  e.number = static_cast<std::uint32_t>(field(fields, 4));
  e.context = static_cast<int>(field(fields, 6));
  e.action = static_cast<int>(field(fields, 7));
  return e;
}

// Reads entries from line i until the end or a line shorter than 3
// characters; returns the index after the table.
std::size_t readTable(const std::vector<std::string>& text, std::size_t i, TagTable& table) {
  for (; i < text.size(); ++i) {
    if (isComment(text[i])) continue;
    if (text[i].size() < 3) return i + 1;
    table.entries.push_back(parseEntry(text[i]));
  }
  return i;
}

// Called with the state locked.
Status readFile(const std::string& name, std::string& out) {
  std::string path = state().dir.empty() ? platform::findShippedFile(name) : state().dir + name;
  if (path.empty() || platform::readWholeFile(path, out, kTableFileMax) != Status::Ok) {
    report(kWarning, kMsgUnableToOpen, (path.empty() ? name : path).c_str());
    return Status::ReadFailed;
  }
  return Status::Ok;
}

}  // namespace

const TagTable* TagTables::context(int number) const {
  for (const TagTable& t : contexts)
    if (t.number == number) return &t;
  return nullptr;
}

const TagEntry& TagTables::resolve(const TagEntry& e) const {
  if (e.kind == 1 && e.value >= 0 && static_cast<std::size_t>(e.value) < application.entries.size())
    return application.entries[static_cast<std::size_t>(e.value)];
  return e;
}

Status parseTagTables(const std::string& univ, const std::string& app, const std::string& con, TagTables& out) {
  out = TagTables{};
  out.universal.name = "UNIVERSAL";
  out.application.name = "APPLICATION";
  readTable(lines(univ), 0, out.universal);
  readTable(lines(app), 0, out.application);
  std::vector<std::string> text = lines(con);
  std::size_t i = 0;
  while (i < text.size()) {
    if (isComment(text[i]) || text[i].size() < 3) {
      ++i;
      continue;
    }
    if (out.contexts.size() + 1 >= static_cast<std::size_t>(kContextMax)) {
      report(kWarning, kMsgContextOverflow, nullptr);
      out = TagTables{};
      return Status::TooSmall;
    }
    // The header: the context name, a comma, the number (ended by a space,
    // ';' or the line end).
    TagTable table;
    const std::string& head = text[i];
    std::size_t comma = head.find(',');
    table.name = head.substr(0, comma).substr(0, kTagNameChars);
    table.number = comma == std::string::npos ? 0 : static_cast<int>(field({head.substr(comma + 1)}, 0));
    i = readTable(text, i + 1, table);
    out.contexts.push_back(std::move(table));
  }
  return Status::Ok;
}

Status loadTagTables() {
  LoadState& s = state();
  if (s.current.load(std::memory_order_acquire) != nullptr) return Status::Ok;
  std::lock_guard<std::mutex> hold(s.lock);
  if (s.current.load(std::memory_order_relaxed) != nullptr) return Status::Ok;
  std::string univ, app, con;
  const std::pair<const char*, std::string*> files[] = {{"univtags.txt", &univ}, {"apptags.txt", &app}, {"contags.txt", &con}};
  for (const auto& [name, text] : files)
    if (Status read = readFile(name, *text); read != Status::Ok) return read;
  auto tables = std::make_unique<TagTables>();
  if (Status parsed = parseTagTables(univ, app, con, *tables); parsed != Status::Ok) return parsed;
  s.loaded.push_back(std::move(tables));
  s.current.store(s.loaded.back().get(), std::memory_order_release);
  return Status::Ok;
}

const TagTables* tagTables() { return state().current.load(std::memory_order_acquire); }

void setTagTableDirectory(const std::string& dir) {
  LoadState& s = state();
  std::lock_guard<std::mutex> hold(s.lock);
  s.dir = dir;
  s.current.store(nullptr, std::memory_order_release);
}

}  // namespace hv::formats
