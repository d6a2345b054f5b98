// The rows' deflate encoder against zlib's inflater, which refuses
// incomplete or over-subscribed codes and distances beyond the data.
#include "tools/hvtool/deflate_encode.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <random>
#include <vector>

#include "tools/drawgen/drawgen.h"

namespace hv::tool {
namespace {

std::vector<std::uint8_t> inflate(const std::vector<std::uint8_t>& z, std::size_t expected) {
  std::vector<std::uint8_t> out(expected + 16);
  uLongf size = uLongf(out.size());
  const int rc = uncompress(out.data(), &size, z.data(), uLong(z.size()));
  EXPECT_EQ(rc, Z_OK);
  out.resize(rc == Z_OK ? size : 0);
  return out;
}

void expectRoundTrip(const std::vector<std::uint8_t>& data, std::size_t rowBytes) {
  const std::vector<std::uint8_t> z = zlibCompressRows(data.data(), data.size(), rowBytes);
  ASSERT_GE(z.size(), 6u);
  EXPECT_EQ((z[0] << 8 | z[1]) % 31, 0) << "zlib header check bits";
  EXPECT_EQ(inflate(z, data.size()), data) << data.size() << " bytes, rows of " << rowBytes;
}

std::vector<std::uint8_t> randomBytes(std::size_t size, std::uint32_t seed, int distinct = 256) {
  std::mt19937 rng(seed);
  std::vector<std::uint8_t> v(size);
  for (auto& b : v) b = std::uint8_t(rng() % unsigned(distinct));
  return v;
}

// PNG-style rows (a filter byte, then the pixels inverted) of a generated sheet.
std::vector<std::uint8_t> drawingRows(std::uint32_t width, std::uint32_t height, std::uint64_t seed,
                                      std::size_t& rowBytes) {
  const drawgen::Bitmap sheet = drawgen::generateDrawing(width, height, 200, seed);
  rowBytes = sheet.stride + 1;
  std::vector<std::uint8_t> rows;
  for (std::uint32_t y = 0; y < height; ++y) {
    rows.push_back(0);
    for (std::uint32_t i = 0; i < sheet.stride; ++i) rows.push_back(std::uint8_t(~sheet.row(y)[i]));
  }
  return rows;
}

TEST(DeflateEncode, SmallAndDegenerateInputsRoundTrip) {
  for (std::size_t size : {0, 1, 2, 3, 4, 5, 7, 8, 9, 258, 259, 260})
    for (std::size_t rowBytes : {0, 1, 2, 3, 201}) {
      expectRoundTrip(randomBytes(size, std::uint32_t(size), 4), rowBytes);
      expectRoundTrip(std::vector<std::uint8_t>(size, 0xFF), rowBytes);
    }
}

TEST(DeflateEncode, LongRunsSpanManyBlocksAndTheWholeWindow) {
  // One megabyte of one value is nothing but matches of 258: many blocks,
  // each with a single length code and a single distance code.
  expectRoundTrip(std::vector<std::uint8_t>(1 << 20, 0), 0);
  // Runs broken at places no row length predicts.
  std::vector<std::uint8_t> runs(300000, 0xFF);
  for (std::size_t i = 0; i < runs.size(); i += 1 + i % 977) runs[i] = std::uint8_t(i);
  expectRoundTrip(runs, 40000);  // too long a row for the window: taken as none
  expectRoundTrip(runs, 32768);  // exactly the window
}

TEST(DeflateEncode, IncompressibleDataIsStoredWithLittleOverhead) {
  const std::vector<std::uint8_t> noise = randomBytes(200000, 7);
  const std::vector<std::uint8_t> z = zlibCompressRows(noise.data(), noise.size(), 0);
  EXPECT_EQ(inflate(z, noise.size()), noise);
  // Header, adler and five bytes per stored block of at most 64 KiB.
  EXPECT_LE(z.size(), noise.size() + 6 + 5 * (noise.size() / 8192 + 1));
}

TEST(DeflateEncode, RowsWithSkewAndRepeatsRoundTrip) {
  // Each row is the one above shifted by a byte, with a few bytes changed:
  // matches one row up, one byte off the row and through the hash chains.
  std::mt19937 rng(3);
  const std::size_t rowBytes = 97;
  std::vector<std::uint8_t> data = randomBytes(rowBytes, 1, 16);
  while (data.size() < 150000) {
    const std::size_t above = data.size() - rowBytes;
    for (std::size_t i = 0; i < rowBytes; ++i) data.push_back(data[above + (i + 1) % rowBytes]);
    data[data.size() - 1 - rng() % rowBytes] = std::uint8_t(rng());
  }
  expectRoundTrip(data, rowBytes);
  expectRoundTrip(data, 0);
}

TEST(DeflateEncode, DrawingsRoundTripAndBeatZlibsDefault) {
  for (std::uint64_t seed : {1u, 2u}) {
    std::size_t rowBytes = 0;
    const std::vector<std::uint8_t> rows = drawingRows(1700, 1100, seed, rowBytes);
    const std::vector<std::uint8_t> z = zlibCompressRows(rows.data(), rows.size(), rowBytes);
    EXPECT_EQ(inflate(z, rows.size()), rows);
    std::vector<std::uint8_t> reference(compressBound(uLong(rows.size())));
    uLongf referenceSize = uLongf(reference.size());
    ASSERT_EQ(compress2(reference.data(), &referenceSize, rows.data(), uLong(rows.size()), Z_DEFAULT_COMPRESSION),
              Z_OK);
    EXPECT_LT(z.size(), referenceSize) << "seed " << seed;
  }
}

// Code lengths form a complete prefix code no longer than the limit.
void expectCompleteCode(const std::vector<std::uint8_t>& lengths, int limit) {
  std::uint64_t kraft = 0;
  for (std::uint8_t l : lengths) {
    ASSERT_LE(l, limit);
    if (l != 0) kraft += std::uint64_t{1} << (limit - l);
  }
  EXPECT_EQ(kraft, std::uint64_t{1} << limit);
}

TEST(DeflateEncode, HuffmanLengthsAreLimitedAndComplete) {
  // Fibonacci frequencies give an unlimited Huffman tree as deep as it has
  // symbols: the limit has to cut it and the code must stay complete.
  std::vector<std::uint32_t> fib(30);
  fib[0] = fib[1] = 1;
  for (std::size_t i = 2; i < fib.size(); ++i) fib[i] = fib[i - 1] + fib[i - 2];
  for (int limit : {7, 15}) {
    std::vector<std::uint8_t> lengths(fib.size());
    huffmanLengths(fib.data(), int(fib.size()), limit, lengths.data());
    expectCompleteCode(lengths, limit);
    EXPECT_EQ(lengths.back(), 1) << "the most frequent symbol keeps the shortest code";
  }
  // Many equal frequencies: a balanced code.
  std::vector<std::uint32_t> flat(286, 5);
  std::vector<std::uint8_t> lengths(flat.size());
  huffmanLengths(flat.data(), int(flat.size()), 15, lengths.data());
  expectCompleteCode(lengths, 15);
  // One symbol used: it and a partner get one bit each.
  std::vector<std::uint32_t> one(30, 0);
  one[0] = 9;
  lengths.assign(one.size(), 0);
  huffmanLengths(one.data(), int(one.size()), 15, lengths.data());
  EXPECT_EQ(lengths[0], 1);
  EXPECT_EQ(lengths[1], 1);
  expectCompleteCode(lengths, 15);
  // None used: no code at all.
  std::vector<std::uint32_t> none(19, 0);
  lengths.assign(none.size(), 7);
  huffmanLengths(none.data(), int(none.size()), 7, lengths.data());
  for (std::uint8_t l : lengths) EXPECT_EQ(l, 0);
}

TEST(DeflateEncode, SkewedLiteralsNeedTheLengthLimitAndStillInflate) {
  // Bytes drawn with Fibonacci-like weights and no repeats worth a match
  // push the literal code past 15 bits before limiting.
  std::mt19937 rng(11);
  std::vector<std::uint8_t> data;
  std::uint32_t weight = 1, previous = 1;
  for (int symbol = 0; symbol < 24; ++symbol) {
    for (std::uint32_t k = 0; k < weight && data.size() < 400000; ++k) data.push_back(std::uint8_t(symbol));
    const std::uint32_t next = weight + previous;
    previous = weight;
    weight = next;
  }
  std::shuffle(data.begin(), data.end(), rng);
  expectRoundTrip(data, 0);
}

}  // namespace
}  // namespace hv::tool
