// Band scaling of transition lists: the direct list walk against a pixel by
// pixel reference, for reductions, 1:1 and magnifications.
#include "engine/render_scaler.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "engine/display_math.h"

namespace hv::engine {
namespace {

bool ignoreBand(void*, const std::uint8_t*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) { return true; }

// A random line of `width` pixels as a closed transition list, and its pixels.
std::vector<Transition> randomLine(std::mt19937& rng, std::uint32_t width, bool startBlack, std::vector<bool>& black) {
  std::vector<Transition> list;
  black.assign(width, false);
  bool colour = startBlack;
  std::uint32_t c = 0;
  std::uniform_int_distribution<std::uint32_t> run(0, 40);
  while (c < width) {
    std::uint32_t next = std::min(width, c + run(rng));
    for (std::uint32_t i = c; i < next; ++i) black[i] = colour;
    if (next < width) list.push_back(Transition(next));
    c = next;
    colour = !colour;
  }
  list.insert(list.end(), 3, Transition(width));
  return list;
}

TEST(RenderScaler, ListWalkMarksEveryDisplayPixelOfEveryBlackSourcePixel) {
  std::mt19937 rng(7);
  const std::uint8_t scales[][2] = {{1, 1}, {3, 34}, {1, 11}, {2, 3}, {7, 5}, {3, 1}};
  for (const auto& sc : scales) {
    ScalerGeometry g;
    g.sourceWidth = 1000;
    g.sourceHeight = 4;
    g.xd = sc[0];
    g.xn = sc[1];
    BandScaler scaler;
    ASSERT_TRUE(scaler.init(g, BandSink{&ignoreBand, nullptr}));
    for (int trial = 0; trial < 200; ++trial) {
      const bool startBlack = trial % 2 == 1;
      std::vector<bool> black;
      std::vector<Transition> list = randomLine(rng, g.sourceWidth, startBlack, black);
      std::vector<std::uint8_t> row(scaler.rowBytes(), 0), expected(scaler.rowBytes(), 0);
      scaler.markList(row.data(), list.data(), g.sourceWidth, 0, startBlack);
      for (std::uint32_t c = 0; c < g.sourceWidth; ++c) {
        if (!black[c]) continue;
        for (std::uint32_t j = runDisplayFirst(c, g.xd, g.xn); j < runDisplayEnd(c + 1, g.xd, g.xn); ++j)
          expected[j >> 3] |= std::uint8_t(0x80u >> (j & 7));
      }
      ASSERT_EQ(row, expected) << "scale " << int(g.xd) << "/" << int(g.xn) << " trial " << trial;
      // The same line placed through an offset (the cutting walk) agrees.
      std::vector<Transition> shifted;
      for (Transition t : list) shifted.push_back(Transition(t + 1));
      std::vector<std::uint8_t> viaOffset(scaler.rowBytes(), 0);
      scaler.markList(viaOffset.data(), shifted.data(), g.sourceWidth + 1, -1, startBlack);
      ASSERT_EQ(viaOffset, expected) << "offset walk, scale " << int(g.xd) << "/" << int(g.xn);
    }
  }
}

}  // namespace
}  // namespace hv::engine
