#include "platform/ini_file.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

#include "platform/atomic_file.h"
#include "platform/file_io.h"

namespace hv::platform {
namespace {

bool sameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && ::strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

std::string trim(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
  return s.substr(b, e - b);
}

}  // namespace

IniFile IniFile::load(const std::string& path) {
  std::string text;
  if (readWholeFile(path, text, 4u << 20) != Status::Ok) return IniFile{};
  return parse(text);
}

IniFile IniFile::parse(const std::string& text) {
  IniFile ini;
  Section* current = nullptr;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = trim(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[') {
      std::size_t close = line.find(']');
      std::string name = trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      current = nullptr;
      for (auto& s : ini.sections_)
        if (sameName(s.name, name)) current = &s;
      if (current == nullptr) {
        ini.sections_.push_back(Section{name, {}});
        current = &ini.sections_.back();
      }
      continue;
    }
    std::size_t eq = line.find('=');
    if (eq == std::string::npos || current == nullptr) continue;
    std::string key = trim(line.substr(0, eq));
    std::string value = trim(line.substr(eq + 1));
    bool replaced = false;
    for (auto& kv : current->entries)
      if (sameName(kv.first, key)) {
        kv.second = value;
        replaced = true;
      }
    if (!replaced) current->entries.emplace_back(key, value);
  }
  return ini;
}

std::optional<std::string> IniFile::get(const std::string& section, const std::string& key) const {
  for (const auto& s : sections_) {
    if (!sameName(s.name, section)) continue;
    for (const auto& kv : s.entries)
      if (sameName(kv.first, key)) return kv.second;
  }
  return std::nullopt;
}

long IniFile::getInt(const std::string& section, const std::string& key, long fallback) const {
  auto v = get(section, key);
  if (!v || v->empty()) return fallback;
  const char* p = v->c_str();
  char* end = nullptr;
  long n = std::strtol(p, &end, 10);
  if (end == p) return fallback;
  return n;
}

void IniFile::set(const std::string& section, const std::string& key, const std::string& value) {
  for (auto& s : sections_) {
    if (!sameName(s.name, section)) continue;
    for (auto& kv : s.entries)
      if (sameName(kv.first, key)) {
        kv.second = value;
        return;
      }
    s.entries.emplace_back(key, value);
    return;
  }
  sections_.push_back(Section{section, {{key, value}}});
}

std::string IniFile::text() const {
  std::string out;
  for (const auto& s : sections_) {
    if (!out.empty()) out += '\n';
    out += '[' + s.name + "]\n";
    for (const auto& kv : s.entries) out += kv.first + '=' + kv.second + '\n';
  }
  return out;
}

Status IniFile::save(const std::string& path) const {
  const std::string body = text();
  AtomicFile file;
  if (Status s = file.open(path); s != Status::Ok) return s;
  if (Status s = file.write(body.data(), body.size()); s != Status::Ok) return s;
  return file.commit();
}

}  // namespace hv::platform
