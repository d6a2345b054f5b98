// Path translation through two levels of DOCFILES.IDX and the Hollerith
// long-name translations. Input: a path line, then a DOCFILES.IDX body for
// the folder and (after a 0xFF 0xFF split) one for its subfolder "OPTI0000.ALS".
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "docindex/docfiles_cache.h"
#include "docindex/docfiles_translate.h"
#include "fuzz/fuzz_scratch.h"
#include "records/hollrec.h"

namespace {

void writeAt(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A translated path keeps the folder prefix and gains no ".." component
// (components split as the translation splits them: '\' too in slash mode).
void checkConfined(const std::string& dir, const std::string& in, const std::string& out) {
  if (out.compare(0, dir.size(), dir) != 0) std::abort();
  const char* separators = hv::docindex::slashMode() ? "/\\" : "/";
  auto count = [separators](const std::string& p) {
    int n = 0;
    std::size_t at = 0;
    while (at <= p.size()) {
      std::size_t end = p.find_first_of(separators, at);
      if (end == std::string::npos) end = p.size();
      if (p.compare(at, end - at, "..") == 0 && end - at == 2) ++n;
      at = end + 1;
    }
    return n;
  };
  if (count(out) > count(in)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string all(reinterpret_cast<const char*>(data), size);
  const std::size_t nl = all.find('\n');
  if (nl == std::string::npos) return 0;
  std::string path = all.substr(0, nl);
  std::string rest = all.substr(nl + 1);
  std::string top = rest, sub;
  if (std::size_t split = rest.find("\xff\xff"); split != std::string::npos) {
    top = rest.substr(0, split);
    sub = rest.substr(split + 2);
  }
  hv::fuzz::putFile("DOCFILES.IDX", reinterpret_cast<const std::uint8_t*>(top.data()), top.size());
  const std::string& dir = hv::fuzz::scratchDir();
  std::error_code ec;
  std::filesystem::create_directory(dir + "OPTI0000.ALS", ec);
  writeAt(dir + "OPTI0000.ALS/DOCFILES.IDX", sub);

  if (path.find('\0') == std::string::npos) {
    (path.size() % 2 == 0) ? hv::docindex::slashModeOn() : hv::docindex::slashModeOff();
    const std::string full = dir + path;
    if (auto s = hv::docindex::translateToShort(full)) checkConfined(dir, full, s->path);
    if (auto l = hv::docindex::translateToLong(full)) checkConfined(dir, full, l->path);
    (void)hv::docindex::isLongName(full);
    hv::docindex::slashModeOff();
  }
  if (path.size() >= 64) {
    RecordHollerith rec;
    if (hollrec_XlateLongNameToRec(path.c_str(), &rec) == 1) {
      char name[65];
      if (hollrec_XlateRecToLongName(&rec, name) == 1 && std::strlen(name) != 64) std::abort();
    }
  }
  if (rest.size() >= 100) {
    RecordHollerith rec;
    std::memcpy(rec.bytes, rest.data(), 100);
    char name[65];
    if (hollrec_XlateRecToLongName(&rec, name) == 1 && std::strpbrk(name, " ./\\*") != nullptr) std::abort();
  }
  (void)hv::docindex::flushIndexCache();
  return 0;
}
