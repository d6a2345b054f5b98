// CALS Type 2 files: the first input byte chooses whether a CALS header block
// (raster type 2) is put in front of the rest; the file is then identified,
// opened, described and loaded, and read tile by tile through the filter.
#include <cstdint>
#include <string>

#include "formats/format_tables.h"
#include "fuzz/fuzz_scratch.h"
#include "fuzz/fuzz_tiled.h"

namespace {

std::string calsHeader() {
  const char* records[] = {"srcdocid: NONE", "dstdocid: NONE", "txtfilid: NONE", "figid: NONE",
                           "srcgph: NONE",   "doccls: NONE",   "rtype: 2",       "rorient: 000,270",
                           "rpelcnt: 001000,000800", "rdensty: 0200", "notes: NONE"};
  std::string block(2048, ' ');
  std::size_t i = 0;
  for (const char* r : records) block.replace(i++ * 128, std::string(r).size(), r);
  return block;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  hv::formats::setMessageSink(nullptr, nullptr);
  std::string bytes = (data[0] & 1) ? calsHeader() : std::string();
  bytes.append(reinterpret_cast<const char*>(data + 1), size - 1);
  hv::fuzz::putFile("sheet.cal", reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  std::string path = hv::fuzz::scratchDir() + "sheet.cal";
  hv::fuzz::openInfoLoad(path);
  hv::fuzz::readThroughFilter(hv::formats::kFilterCals2, path, hv::formats::kOpenRead);
  return 0;
}
