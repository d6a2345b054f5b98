// EDMICS VI (and EDMICS V) files: identified, opened, described and loaded as
// the viewer does; then opened through each filter directly in both reading
// modes (kOpenReadSecondHeader takes the header variant at offset 14).
#include <cstdint>
#include <string>

#include "formats/format_tables.h"
#include "fuzz/fuzz_scratch.h"
#include "fuzz/fuzz_tiled.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  hv::formats::setMessageSink(nullptr, nullptr);
  hv::fuzz::putFile("sheet.c4", data, size);
  std::string path = hv::fuzz::scratchDir() + "sheet.c4";
  hv::fuzz::openInfoLoad(path);
  hv::fuzz::readThroughFilter(hv::formats::kFilterEdmics6, path, hv::formats::kOpenRead);
  hv::fuzz::readThroughFilter(hv::formats::kFilterEdmics6, path, hv::formats::kOpenReadSecondHeader);
  hv::fuzz::readThroughFilter(hv::formats::kFilterEdmics5, path, hv::formats::kOpenRead);
  return 0;
}
