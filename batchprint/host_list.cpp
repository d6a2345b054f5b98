#include "batchprint/host_list.h"

#include <cstdlib>

#include "batchprint/regular_file.h"
#include "platform/name_lookup.h"

namespace hv::batchprint {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

}  // namespace

std::string HostList::defaultPath() {
  const char* env = std::getenv("mkhostfile");
  if (env != nullptr && env[0] != '\0') return env;
  return "/etc/_mkhost.txt";
}

bool HostList::load(const std::string& path) {
  entries_.clear();
  std::string text;
  if (readRegularFile(path, text, kHostListMaxBytes) != Status::Ok) return false;
  parse(text);
  return true;
}

void HostList::parse(const std::string& text) {
  entries_.clear();
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, std::min(end - pos, kHostLineLength));
    pos = end + 1;
    std::string fields[3];
    int count = 0;
    std::size_t i = 0;
    while (count < 3) {
      while (i < line.size() && isBlank(line[i])) ++i;
      if (i >= line.size()) break;
      std::size_t start = i;
      while (i < line.size() && !isBlank(line[i])) ++i;
      fields[count++] = line.substr(start, i - start);
    }
    if (count < 3 || fields[0][0] == '#') continue;
    add(HostEntry{fields[0], fields[1], fields[2]});
  }
}

void HostList::add(HostEntry entry) {
  if (int old = find(entry.name); old >= 0) entries_.erase(entries_.begin() + old);
  entries_.push_back(std::move(entry));
}

int HostList::find(const std::string& name) const {
  for (std::size_t i = 0; i < entries_.size(); ++i)
    if (platform::equalsIgnoringCase(entries_[i].name, name)) return static_cast<int>(i);
  return -1;
}

}  // namespace hv::batchprint
