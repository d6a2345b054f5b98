// Audre files: identified, opened, described and loaded as the viewer does,
// then read through the filter directly.
#include <cstdint>
#include <string>

#include "formats/format_tables.h"
#include "fuzz/fuzz_scratch.h"
#include "fuzz/fuzz_tiled.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  hv::formats::setMessageSink(nullptr, nullptr);
  hv::fuzz::putFile("sheet.aud", data, size);
  std::string path = hv::fuzz::scratchDir() + "sheet.aud";
  hv::fuzz::openInfoLoad(path);
  hv::fuzz::readThroughFilter(hv::formats::kFilterAudre, path, hv::formats::kOpenRead);
  return 0;
}
