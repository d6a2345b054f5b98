#include <cstdio>
#include <string>
#include <vector>

#include "engine/ccitt_decode.h"
#include "engine/grx_status.h"
#include "engine/image_handle.h"
#include "engine/packed.h"
#include "platform/atomic_file.h"
#include "tools/hvtool/commands.h"

namespace hv::tool {
namespace {

// Writes image memory as a binary PBM through an AtomicFile; on failure
// error says which file and why.
bool writePbm(const hv::engine::ImageMemory* mem, const std::string& path, std::string& error) {
  hv::platform::AtomicFile file;
  if (file.open(path) != hv::Status::Ok) {
    error = file.error();
    return false;
  }
  std::string header = "P4\n" + std::to_string(mem->width) + " " + std::to_string(mem->height) + "\n";
  bool ok = file.write(header.data(), header.size()) == hv::Status::Ok;
  std::size_t stride = (mem->width + 7) / 8;
  std::vector<std::uint8_t> rows;
  constexpr std::uint32_t kBatch = 256;
  for (std::uint32_t y = 0; ok && y < mem->height; y += kBatch) {
    std::uint32_t n = std::min(kBatch, mem->height - y);
    rows.assign(stride * n, 0);
    for (std::uint32_t i = 0; i < n; ++i)
      hv::engine::listToBits(mem->lines[y + i], mem->width, rows.data() + i * stride, 0, mem->width);
    ok = file.write(rows.data(), rows.size()) == hv::Status::Ok;
  }
  ok = ok && file.commit() == hv::Status::Ok;
  if (!ok) error = file.error();
  return ok;
}

}  // namespace

int cmdDecode(const Args& args) {
  if (wantsHelp(args) || args.size() != 2) {
    std::fputs(
        "usage: hvtool decode FILE OUT.pbm\n"
        "Loads the drawing into image memory and writes it as a binary PBM (P4):\n"
        "lines in file order, 1 = black as the drawing shows on screen.\n"
        "OUT may also be a device, a FIFO or - (standard output).\n",
        wantsHelp(args) ? stdout : stderr);
    return wantsHelp(args) ? 0 : 2;
  }
  if (!checkReadable(args[0])) return 1;
  ImageHdl h = grxOpenImage(nullptr, args[0].c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
  if (h == nullptr) return 1;
  if (!grxLoadImageMemory(h, nullptr)) {
    std::fprintf(stderr, "%s: decoding failed: %s (decoder result %d)\n", args[0].c_str(),
                 hv::engine::decodeResultName(h->decodeResult), h->decodeResult);
    grxCloseImage(h);
    return 1;
  }
  std::string error;
  bool ok = writePbm(h->memory, args[1], error);
  if (!ok) std::fprintf(stderr, "Unable to write to %s\n", error.c_str());
  grxCloseImage(h);
  return ok ? 0 : 1;
}

}  // namespace hv::tool
