#include <gtest/gtest.h>

#include <vector>

#include "engine/engine_alloc.h"
#include "engine/grx_status.h"
#include "engine/image_handle.h"
#include "engine/image_memory.h"
#include "engine/packed.h"

namespace hv::engine {
namespace {

std::vector<Transition> lineOf(const ImageMemory* mem, std::uint32_t y) {
  const Transition* l = getLine(mem, y);
  return std::vector<Transition>(l, l + listLength(l, mem->width));
}

ImageMemory* memoryWith(std::uint32_t width, const std::vector<std::vector<Transition>>& lines) {
  ImageMemory* mem = createImageMemory(1, width, static_cast<std::uint32_t>(lines.size()));
  for (std::uint32_t y = 0; y < lines.size(); ++y) EXPECT_EQ(putLineCopy(mem, y, lines[y].data(), lines[y].size()), Status::Ok);
  return mem;
}

TEST(EngineAlloc, RoundsAboveAndZeroFills) {
  EXPECT_EQ(roundedSize(0), 16u);
  EXPECT_EQ(roundedSize(31), 32u);
  EXPECT_EQ(roundedSize(32), 48u);
  auto* p = static_cast<unsigned char*>(engineAlloc(20));
  for (int i = 0; i < 32; ++i) EXPECT_EQ(p[i], 0);
  EXPECT_EQ(engineFree(p), 0);
}

TEST(ImageMemory, CreatedImagesAreBlank) {
  int status = 99;
  ImageHdl h = grxCreateImage(&status, 1, 1, 200, 200);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(h->memory->bytesPerLine, 2u);
  EXPECT_EQ(lineOf(h->memory, 0), (std::vector<Transition>{1}));
  EXPECT_TRUE(grxHasImageMemory(h));
  grxCloseImage(h);
  EXPECT_EQ(grxCreateImage(&status, 0, 5, 200, 200), nullptr);
  EXPECT_EQ(status, GRX_BAD_ARGUMENT);
  EXPECT_EQ(grxCreateImage(&status, 70000, 5, 200, 200), nullptr);
  EXPECT_EQ(status, GRX_BAD_ARGUMENT);
}

TEST(ImageMemory, WideningMovesTheTerminatorAndNarrowingBack) {
  ImageMemory* mem = memoryWith(10, {{3, 10}, {0, 2, 10}, {10}});
  ASSERT_EQ(setImageWidth(mem, 16), Status::Ok);
  EXPECT_EQ(mem->bytesPerLine, 2u);
  // The black run that reached the old width now ends there: new columns white.
  EXPECT_EQ(lineOf(mem, 0), (std::vector<Transition>{3, 10, 16}));
  std::vector<std::uint8_t> row(2, 0);
  listToBits(getLine(mem, 0), 16, row.data(), 0, 16);
  EXPECT_EQ(row[0], 0x1F);
  EXPECT_EQ(row[1], 0xC0);
  ASSERT_EQ(setImageWidth(mem, 10), Status::Ok);
  EXPECT_EQ(lineOf(mem, 0), (std::vector<Transition>{3, 10}));
  EXPECT_EQ(lineOf(mem, 1), (std::vector<Transition>{0, 2, 10}));
  // Narrowing below a transition is refused and changes nothing.
  EXPECT_EQ(setImageWidth(mem, 2), Status::BadArgument);
  EXPECT_EQ(mem->width, 10u);
  freeImageMemory(mem);
}

TEST(ImageMemory, WideningThatRunsOutOfMemoryLeavesTheImageAsItWas) {
  const std::vector<std::vector<Transition>> lines{{3, 10}, {5, 10}, {10}, {0, 4, 6, 10}, {9, 10}};
  ImageMemory* mem = memoryWith(10, lines);
  Status widened = Status::NoMemory;
  for (long allowed = 0; widened != Status::Ok && allowed < 20; ++allowed) {
    failEngineAllocationsAfter(allowed);
    widened = setImageWidth(mem, 16);
    failEngineAllocationsAfter(-1);
    if (widened == Status::Ok) break;
    ASSERT_EQ(widened, Status::NoMemory);
    EXPECT_EQ(mem->width, 10u) << allowed << " allocations allowed";
    for (std::uint32_t y = 0; y < lines.size(); ++y) EXPECT_EQ(lineOf(mem, y), lines[y]) << "line " << y;
  }
  ASSERT_EQ(widened, Status::Ok);
  EXPECT_EQ(lineOf(mem, 4), (std::vector<Transition>{9, 10, 16}));
  freeImageMemory(mem);
}

TEST(ImageMemory, HeightChangesAddBlankLines) {
  ImageMemory* mem = memoryWith(8, {{1, 2, 8}, {8}});
  ASSERT_EQ(setImageHeight(mem, 4), Status::Ok);
  EXPECT_EQ(lineOf(mem, 3), (std::vector<Transition>{8}));
  ASSERT_EQ(setImageHeight(mem, 1), Status::Ok);
  EXPECT_EQ(getLine(mem, 1), nullptr);
  Transition* spare = blankList(8);
  EXPECT_EQ(putLine(mem, 1, spare), Status::BadArgument);
  engineFree(spare);
  freeImageMemory(mem);
}

TEST(PackedForm, ListsAndBitsRoundTrip) {
  const std::uint32_t width = 37;
  std::vector<std::vector<Transition>> cases = {
      {37}, {0, 37}, {0, 1, 37}, {7, 8, 15, 17, 37}, {0, 8, 16, 36, 37}, {36, 37}, {5, 37}};
  for (const auto& list : cases) {
    std::vector<std::uint8_t> row(6, 0);
    listToBits(list.data(), width, row.data(), 0, width);
    std::vector<Transition> back(width + 2);
    std::size_t n = bitsToList(row.data(), width, back.data(), back.size());
    back.resize(n);
    // A list whose last run is black and ends at the width lists its start only.
    std::vector<Transition> expect = list;
    if (expect.size() >= 2 && expect[expect.size() - 2] == width) expect.erase(expect.end() - 2);
    EXPECT_EQ(back, expect);
  }
  // Transitions in the padding bits are dropped.
  std::uint8_t row[1] = {0x0F};
  Transition out[8];
  EXPECT_EQ(bitsToList(row, 6, out, 8), 2u);
  EXPECT_EQ(out[0], 4);
  EXPECT_EQ(out[1], 6);
  // Overflow of the output buffer fails.
  std::uint8_t stripes[2] = {0xAA, 0xAA};
  EXPECT_EQ(bitsToList(stripes, 16, out, 8), 0u);
}

TEST(PackedForm, ClippedRunsAndInversion) {
  std::vector<Transition> list = {2, 12, 20};
  std::vector<std::uint8_t> row(3, 0);
  listToBits(list.data(), 20, row.data(), 4, 9);
  EXPECT_EQ(row[0], 0x0F);
  EXPECT_EQ(row[1], 0x80);
  Transition inv[8];
  std::size_t n = invertList(list.data(), 20, inv, 8);
  EXPECT_EQ(std::vector<Transition>(inv, inv + n), (std::vector<Transition>{0, 2, 12, 20}));
  Transition twice[8];
  n = invertList(inv, 20, twice, 8);
  EXPECT_EQ(std::vector<Transition>(twice, twice + n), list);
}

TEST(CopyRegion, ClipsShiftsAndStartsInsideBlackRuns) {
  ImageMemory* mem = memoryWith(20, {{2, 12, 20}, {0, 20}, {15, 20}, {20}});
  GrxRect rect{5, 0, 14, 6};
  ImageMemory* copy = grxCopyImageRegion(mem, &rect, nullptr);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->width, 9u);
  EXPECT_EQ(copy->height, 6u);
  EXPECT_EQ(lineOf(copy, 0), (std::vector<Transition>{0, 7, 9}));
  EXPECT_EQ(lineOf(copy, 1), (std::vector<Transition>{0, 9}));  // wholly inside a black run
  EXPECT_EQ(lineOf(copy, 2), (std::vector<Transition>{9}));
  EXPECT_EQ(lineOf(copy, 5), (std::vector<Transition>{9}));  // below the source
  GrxRect outside{20, 0, 25, 1};
  EXPECT_EQ(grxCopyImageRegion(mem, &outside, nullptr), nullptr);
  ImageMemory* wrongSize = createImageMemory(1, 3, 3);
  EXPECT_EQ(grxCopyImageRegion(mem, &rect, wrongSize), nullptr);
  freeImageMemory(wrongSize);
  freeImageMemory(copy);
  freeImageMemory(mem);
}

}  // namespace
}  // namespace hv::engine
