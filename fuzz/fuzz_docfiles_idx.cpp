// Reads and rewrites a DOCFILES.IDX made of the fuzz input; every record
// name is tried as a path and must translate within the folder.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "docindex/docfiles_cache.h"
#include "docindex/docfiles_record.h"
#include "docindex/docfiles_store.h"
#include "docindex/docfiles_translate.h"
#include "docindex/docfiles_verify.h"
#include "fuzz/fuzz_scratch.h"

namespace {

// The translation of a single name in the folder must stay one component.
void checkStaysInFolder(const std::string& dir, const std::string& name, bool toShort) {
  auto t = toShort ? hv::docindex::translateToShort(dir + name) : hv::docindex::translateToLong(dir + name);
  if (!t) return;
  if (t->path.compare(0, dir.size(), dir) != 0) std::abort();
  std::string rest = t->path.substr(dir.size());
  if (rest.find('/') != std::string::npos && name.find('/') == std::string::npos) std::abort();
  if ((rest == ".." || rest == ".") && name != rest) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  hv::fuzz::putFile("DOCFILES.IDX", data, size);
  const std::string& dir = hv::fuzz::scratchDir();
  std::string bytes(reinterpret_cast<const char*>(data), size);
  auto records = hv::docindex::parseRecords(bytes);
  for (const auto& r : records) {
    checkStaysInFolder(dir, r.longName(), true);
    checkStaysInFolder(dir, r.shortName(), false);
    (void)hv::docindex::isLongName(dir + r.longName());
  }
  (void)hv::docindex::indexChecksum(dir);
  (void)hv::docindex::newShortName(dir, "TIF");
  if (!records.empty()) {
    const auto& r = records[size % records.size()];
    (void)hv::docindex::updateLongName(dir, r.shortName(), "Renamed Long Name");
    char access = 0;
    (void)hv::docindex::removeRecord(dir, r.longName(), &access);
  }
  (void)hv::docindex::appendRecord(dir, "Fuzz Long Name", "OPTI0001.TIF", 'W');
  (void)hv::docindex::flushIndexCache();
  return 0;
}
