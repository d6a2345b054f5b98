// The BER walker over any stream, with the shipped tag tables, in both the
// reading and the dialog mode, from the top context and from a context chosen
// by the first input byte.
#include <cstdint>
#include <string>

#include "formats/ber_walker.h"
#include "formats/fm_messages.h"
#include "formats/tag_tables.h"
#include "fuzz/fuzz_scratch.h"
#include "platform/file_io.h"

#include <fcntl.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace hv::formats;
  if (size < 1) return 0;
  setMessageSink(nullptr, nullptr);
  if (loadTagTables() != hv::Status::Ok) return 0;
  hv::fuzz::putFile("stream", data + 1, size - 1);
  int fd = hv::platform::openFile((hv::fuzz::scratchDir() + "stream").c_str(), O_RDONLY);
  if (fd < 0) return 0;
  const TagTables& tables = *tagTables();
  const std::int64_t end = static_cast<std::int64_t>(size - 1);
  for (int mode : {kWalkRead, kWalkDialog}) {
    for (int context : {kTopContext, static_cast<int>(data[0] % 16)}) {
      ber::Source src(fd, 0, end);
      OdaRaster raster;
      Walk walk{src, tables, mode, "stream", raster};
      (void)berWalk(walk, 0, tables.context(context), 0, end);
    }
  }
  hv::platform::closeFile(fd);
  return 0;
}
