// The lookup arrays agree with the transcribed rows, and the rows form a
// prefix-free code per colour (a mistyped row would shadow or be shadowed).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/ccitt_tables.h"

namespace hv::engine::ccitt {
namespace {

std::uint32_t lsbIndex(const CodeRow& r, unsigned skip = 0) {
  std::uint32_t index = 0;
  for (unsigned i = skip; i < r.length; ++i)
    if ((r.bits >> (r.length - 1 - i)) & 1) index |= 1u << (i - skip);
  return index;
}

std::string text(const CodeRow& r) {
  std::string s;
  for (int i = r.length - 1; i >= 0; --i) s += ((r.bits >> i) & 1) ? '1' : '0';
  return s;
}

void expectPrefixFree(const std::vector<CodeRow>& rows) {
  for (const auto& a : rows)
    for (const auto& b : rows) {
      if (&a != &b) {
        EXPECT_NE(text(b).rfind(text(a), 0), 0u) << text(a) << " prefixes " << text(b);
      }
    }
}

std::vector<CodeRow> all(bool black) {
  std::vector<CodeRow> v;
  for (auto span : {black ? blackTerminatingRows() : whiteTerminatingRows(),
                    black ? blackMakeupRows() : whiteMakeupRows(), extendedMakeupRows()})
    v.insert(v.end(), span.begin(), span.end());
  return v;
}

TEST(CcittTables, EveryRowDecodesThroughItsArray) {
  for (bool black : {false, true}) {
    const auto& table = black ? blackLookup() : whiteLookup();
    for (const CodeRow& r : all(black)) {
      const std::uint16_t want = static_cast<std::uint16_t>(r.value << 4 | r.length);
      if (r.length <= 12) {
        EXPECT_EQ(table[lsbIndex(r)], want) << text(r);
      } else {
        EXPECT_EQ(table[lsbIndex(r) & 0xFFF], 0) << text(r);
        EXPECT_EQ(longBlackLookup()[lsbIndex(r, 6)], want) << text(r);
      }
    }
  }
  for (const CodeRow& r : modeRows()) EXPECT_EQ(modeLookup()[lsbIndex(r)], r.value << 4 | r.length) << text(r);
  EXPECT_EQ(whiteLookup()[lsbIndex(kEolRow)], kEolValue << 4 | 12);
}

TEST(CcittTables, CodesArePrefixFreeAndComplete) {
  std::vector<CodeRow> white = all(false);
  white.push_back(kEolRow);
  expectPrefixFree(white);
  expectPrefixFree(all(true));
  std::vector<CodeRow> modes(modeRows().begin(), modeRows().end());
  expectPrefixFree(modes);
  EXPECT_EQ(whiteTerminatingRows().size(), 64u);
  EXPECT_EQ(blackTerminatingRows().size(), 64u);
  for (unsigned i = 0; i < 64; ++i) {
    EXPECT_EQ(whiteTerminatingRows()[i].value, i);
    EXPECT_EQ(blackTerminatingRows()[i].value, i);
  }
}

}  // namespace
}  // namespace hv::engine::ccitt
