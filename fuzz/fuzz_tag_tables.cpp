// The tag-table loader: the input holds the three files separated by 0x00
// bytes; they are written to a private folder, loaded, and then drive the
// open and load of a fixed CALS Type 2 file (tables that describe nothing
// must simply refuse it).
#include <cstdio>
#include <cstdint>
#include <string>

#include "formats/ber.h"
#include "formats/format_tables.h"
#include "formats/tag_tables.h"
#include "fuzz/fuzz_scratch.h"
#include "fuzz/fuzz_tiled.h"

namespace {

using hv::formats::ber::element;

std::string ctx(std::uint32_t n, const std::string& c, bool constructed = false) { return element(2, constructed, n, c); }
std::string integer(std::int64_t v) { return element(0, false, 2, hv::formats::ber::integerContents(v)); }
std::string ctxInt(std::uint32_t n, std::int64_t v) { return ctx(n, hv::formats::ber::integerContents(v)); }

// A 600 x 40 drawing in two tiles: a null foreground tile and an
// uncompressed one.
std::string sampleStream() {
  std::string profile = ctx(0, ctx(5, ctx(0, std::string{1, 3, 14, 11, 0, 1, 1}) +
                                          ctx(3, element(0, false, 6, std::string{2, 8, 2, 7, 2}), true),
                                      true),
                            true);
  std::string layout = ctx(2, ctx(5, ctxInt(0, 0) + ctxInt(1, 270) + ctx(4, integer(6) + integer(1), true), true), true);
  std::string coding = ctxInt(0, 600) + ctxInt(1, 40) + ctxInt(2, 512) + ctxInt(3, 512) +
                       ctx(5, integer(1) + integer(5), true) + ctx(6, integer(0) + integer(0), true);
  std::string attributes = ctx(0, std::string{2, 8, 3, 7, 5}) + ctx(1, coding, true);
  std::string data = ctx(1, element(0, false, 4, std::string(64 * 512, '\x5A')), true);
  return profile + layout + ctx(3, ctx(0, attributes, true) + data, true);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  hv::formats::setMessageSink(nullptr, nullptr);
  std::string input(reinterpret_cast<const char*>(data), size);
  std::string parts[3];
  std::size_t at = 0;
  for (int i = 0; i < 3; ++i) {
    std::size_t zero = input.find('\0', at);
    parts[i] = input.substr(at, zero == std::string::npos ? std::string::npos : zero - at);
    at = zero == std::string::npos ? input.size() : zero + 1;
  }
  const std::string& dir = hv::fuzz::scratchDir();
  static const std::string stream = sampleStream();
  hv::fuzz::putFile("sheet.cal", reinterpret_cast<const std::uint8_t*>(stream.data()), stream.size());
  const char* names[3] = {"univtags.txt", "apptags.txt", "contags.txt"};
  for (int i = 0; i < 3; ++i) {
    FILE* f = std::fopen((dir + names[i]).c_str(), "wb");
    if (f == nullptr) return 0;
    std::fwrite(parts[i].data(), 1, parts[i].size(), f);
    std::fclose(f);
  }
  hv::formats::setTagTableDirectory(dir);
  if (hv::formats::loadTagTables() == hv::Status::Ok)
    hv::fuzz::readThroughFilter(hv::formats::kFilterCals2, dir + "sheet.cal", hv::formats::kOpenRead);
  hv::formats::setTagTableDirectory("");
  return 0;
}
