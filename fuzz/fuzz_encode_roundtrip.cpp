// Encoder round trip: the input is decoded into lines, those lines are
// encoded, and decoding the result must give the same lines.
// Prefix: 0-1 width (1..3000), 2 height (1..128), 3 source coding (Group 4,
// Group 3 1-D or uncompressed rows), 4 target coding (0, 1, 3, 6 or 7),
// 5 encoder buffer size (16..4096 bytes, to exercise flushing). The rest is
// the source's coded data.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/image_memory.h"
#include "engine/tests/encode_test_support.h"

using namespace hv::engine;
namespace fmt = hv::formats;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 6) return 0;
  const std::uint16_t width = static_cast<std::uint16_t>(1 + (data[0] | data[1] << 8) % 3000);
  const std::uint16_t height = static_cast<std::uint16_t>(1 + data[2] % 128);
  static const int kSources[] = {fmt::kCompG4, fmt::kCompG3OneD, fmt::kCompUncompressed};
  static const int kTargets[] = {fmt::kCompG3OneD, fmt::kCompModHuffman, fmt::kCompG4, fmt::kCompUncompressed,
                                 fmt::kCompG4Wrap};
  const int source = kSources[data[3] % 3];
  const int target = kTargets[data[4] % 5];
  const std::uint32_t capacity = 16 + (data[5] * 16u) % 4081;

  test::Job job;
  job.code = source;
  job.width = width;
  job.height = height;
  job.strips = {std::vector<std::uint8_t>(data + 6, data + size)};
  test::Outcome decoded = test::runJob(job);

  ImageMemory* m = createImageMemory(1, width, height);
  if (m == nullptr) return 0;
  for (std::uint32_t y = 0; y < decoded.lists.size() && y < height; ++y) {
    const auto& l = decoded.lists[y];
    if (putLineCopy(m, y, l.data(), l.size()) != hv::Status::Ok) abort();
  }
  const std::uint32_t rowCapacity = target == fmt::kCompUncompressed ? std::max<std::uint32_t>(capacity, (width + 7) / 8) : capacity;
  hv::Status encoded = hv::Status::Failed;
  std::vector<std::uint8_t> bytes = test::encodeToBytes(m, target, &encoded, rowCapacity);
  if (encoded != hv::Status::Ok) abort();
  test::Lines again = test::decodeBytes(bytes, target, width, height);
  test::Lines want = test::memoryLines(m);
  freeImageMemory(m);
  if (again != want) abort();
  return 0;
}
