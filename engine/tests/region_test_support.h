#pragma once
// Decoding a region of an image handle into transition lists, for the tests
// of decoding contexts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/decode_context.h"
#include "engine/image_handle.h"

namespace hv::engine::test {

using Lines = std::vector<std::vector<std::uint16_t>>;

// Lines first .. end - 1, columns firstCol .. endCol - 1 (cut to the image),
// each list with its terminator; the lines must come in order.
inline Lines decode(ImageHdl h, std::uint32_t first, std::uint32_t end, std::uint32_t firstCol = 0,
                    std::uint32_t endCol = 0xFFFF) {
  Lines lines;
  struct Ctx {
    Lines* lines;
    std::uint32_t first;
    std::uint32_t width;
  } ctx{&lines, first, std::min(endCol, h->record->width) - firstCol};
  LineSink sink{[](void* u, std::uint32_t y, const std::uint16_t* list, const std::uint8_t*) {
                  auto* c = static_cast<Ctx*>(u);
                  EXPECT_EQ(y, c->first + c->lines->size());
                  std::size_t n = 0;
                  while (list[n] < c->width) ++n;
                  c->lines->emplace_back(list, list + n + 1);
                  return true;
                },
                &ctx};
  RegionRequest req;
  req.firstLine = first;
  req.endLine = end;
  req.firstCol = firstCol;
  req.endCol = endCol;
  RegionOutcome r = decodeRegion(h, req, sink);
  EXPECT_EQ(r.status, hv::Status::Ok) << "decoder result " << r.decoderResult;
  return lines;
}

}  // namespace hv::engine::test
