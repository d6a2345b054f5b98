#include "docindex/docfiles_verify.h"

#include <cstdint>

#include "docindex/docfiles_cache.h"
#include "docindex/docfiles_translate.h"
#include "platform/ini_file.h"
#include "platform/name_lookup.h"

namespace hv::docindex {

Result<int> indexChecksum(const std::string& folder) {
  auto path = indexPath(folder);
  if (!path) return Status::BadArgument;
  RecordList records;
  bool exists = false;
  if (const Status read = readIndexFresh(*path, records, exists); read != Status::Ok) return read;
  if (!exists) return Status::NotFound;
  // 32-bit arithmetic, wrapping as the stored values were computed.
  std::uint32_t sum = 0;
  for (const auto& r : records)
    for (std::size_t i = 0; i < layout::kLongNameSize; ++i)
      sum += static_cast<std::uint32_t>(static_cast<int>(static_cast<signed char>(r.bytes()[layout::kLongName + i])));
  const auto result = static_cast<std::int32_t>(sum ^ 0xA5A5u);
  return result == 0 ? 1 : result;
}

bool verifyIndex(const std::string& iniPath, const std::string& parentDir, const std::string& dirName) {
  auto ini = platform::IniFile::load(iniPath);
  long stored = ini.getInt("BidSet", dirName, 0);
  if (stored == 0) return false;
  auto folder = translateToShort(platform::withTrailingSlash(parentDir) + dirName);
  if (!folder) return false;
  const Result<int> sum = indexChecksum(folder->path);
  const auto low16 = [](long v) { return static_cast<unsigned>(v) & 0xFFFFu; };
  return sum.ok() && low16(stored) == low16(sum.value());
}

}  // namespace hv::docindex
