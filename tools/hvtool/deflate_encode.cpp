#include "tools/hvtool/deflate_encode.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <libdeflate.h>

namespace hv::tool {
namespace {

constexpr std::size_t kWindow = 32768;       // the farthest a match may reach back
constexpr std::size_t kMinMatch = 3, kMaxMatch = 258;
constexpr unsigned kMaxHashBits = 15;           // hash table size for inputs of 32 KiB and more
// Bytes hashed for the chains. Matches of three bytes are rarely worth
// their codes in raster data, and the byte before and the row above are
// offered without the chains anyway.
constexpr std::size_t kHashed = 4;
constexpr int kChainDepth = 12;               // hash-chain candidates looked at per position
constexpr std::size_t kLazyBelow = 64;        // a shorter match waits to see the next position's
constexpr std::size_t kBlockSymbols = 8192;   // literals and matches per block
constexpr std::size_t kCostRing = 1024;       // running literal costs kept (> 2 * kMaxMatch)
constexpr std::size_t kStoredMax = 65535;     // bytes per stored block

// RFC 1951, 3.2.5: the length symbols 257..285 and distance codes 0..29.
constexpr std::array<std::uint16_t, 29> kLengthBase = {3,  4,  5,  6,  7,  8,  9,  10,  11, 13,
                                                       15, 17, 19, 23, 27, 31, 35, 43,  51, 59,
                                                       67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, 30> kDistanceExtra = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                         6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// The order in which the code-length code's lengths are sent.
constexpr std::array<std::uint8_t, 19> kCodeLengthOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                           11, 4,  12, 3, 13, 2, 14, 1, 15};
constexpr int kLiteralCount = 286, kDistanceCount = 30, kCodeLengthCount = 19;

// Index into kLengthBase of a match length 3..258.
unsigned lengthCode(std::size_t length) {
  const std::size_t x = length - 3;
  if (x < 8) return unsigned(x);
  if (x == 255) return 28;
  const int top = int(std::bit_width(x)) - 1;  // 3..7
  return unsigned(4 * (top - 1) + ((x >> (top - 2)) & 3));
}

// Distance code of a distance 1..32768.
unsigned distanceCode(std::size_t distance) {
  const std::size_t x = distance - 1;
  if (x < 4) return unsigned(x);
  const int top = int(std::bit_width(x)) - 1;  // 2..14
  return unsigned(2 * top + ((x >> (top - 1)) & 1));
}

// A literal (distance 0) or a match.
struct Symbol {
  std::uint16_t value;     // the byte, or the match length
  std::uint16_t distance;  // 0 for a literal
};

class BitWriter {
 public:
  explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}
  // Appends the low `count` bits of `bits`, first bit first (count <= 32).
  void put(std::uint32_t bits, unsigned count) {
    pending_ |= std::uint64_t(bits) << used_;
    used_ += count;
    while (used_ >= 8) {
      out_.push_back(std::uint8_t(pending_));
      pending_ >>= 8;
      used_ -= 8;
    }
  }
  void alignToByte() {
    if (used_ != 0) put(0, 8 - used_);
  }

 private:
  std::vector<std::uint8_t>& out_;
  std::uint64_t pending_ = 0;
  unsigned used_ = 0;
};

}  // namespace

void huffmanLengths(const std::uint32_t* freq, int count, int limit, std::uint8_t* lengths) {
  std::fill(lengths, lengths + count, std::uint8_t{0});
  std::vector<int> leaves;
  for (int s = 0; s < count; ++s)
    if (freq[s] != 0) leaves.push_back(s);
  if (leaves.empty()) return;
  if (leaves.size() == 1) {
    lengths[leaves[0]] = 1;
    lengths[leaves[0] == 0 ? 1 : 0] = 1;
    return;
  }
  std::stable_sort(leaves.begin(), leaves.end(), [&](int a, int b) { return freq[a] < freq[b]; });

  // Two-queue construction: leaves in order of weight, then the internal
  // nodes, which are made in order of weight too. Nodes 0..n-1 are the
  // leaves, n.. the internal nodes; the last one is the root.
  const std::size_t n = leaves.size();
  std::vector<std::uint64_t> weight(2 * n - 1);
  std::vector<std::size_t> parent(2 * n - 1, 0);
  for (std::size_t i = 0; i < n; ++i) weight[i] = freq[leaves[i]];
  std::size_t nextLeaf = 0, nextInner = n;
  auto take = [&](std::size_t made) {
    if (nextLeaf < n && (nextInner >= made || weight[nextLeaf] <= weight[nextInner])) return nextLeaf++;
    return nextInner++;
  };
  for (std::size_t made = n; made < 2 * n - 1; ++made) {
    const std::size_t a = take(made), b = take(made);
    weight[made] = weight[a] + weight[b];
    parent[a] = parent[b] = made;
  }
  std::vector<int> depth(2 * n - 1, 0);
  for (std::size_t i = 2 * n - 1; i-- > 0;)
    if (i != 2 * n - 2) depth[i] = depth[parent[i]] + 1;

  // Clamp to the limit, then mend the Kraft sum (in units of 2^-limit):
  // lengthen the rarest symbols that can still grow until the code fits,
  // and shorten the most frequent until it is complete again.
  const std::uint64_t full = std::uint64_t{1} << limit;
  std::vector<int> len(n);
  std::uint64_t kraft = 0;
  for (std::size_t i = 0; i < n; ++i) {
    len[i] = std::min(depth[i], limit);
    kraft += std::uint64_t{1} << (limit - len[i]);
  }
  while (kraft > full) {
    std::size_t pick = n;
    for (std::size_t i = 0; i < n; ++i)
      if (len[i] < limit && (pick == n || len[i] > len[pick])) pick = i;
    kraft -= std::uint64_t{1} << (limit - len[pick] - 1);
    ++len[pick];
  }
  while (kraft < full) {
    for (std::size_t i = n; i-- > 0 && kraft < full;) {
      const std::uint64_t gain = std::uint64_t{1} << (limit - len[i]);
      if (len[i] > 1 && kraft + gain <= full) {
        --len[i];
        kraft += gain;
      }
    }
  }
  for (std::size_t i = 0; i < n; ++i) lengths[leaves[i]] = std::uint8_t(len[i]);
}

namespace {

// Canonical codes for the lengths (RFC 1951, 3.2.2), bit-reversed, ready for
// the LSB-first bit stream.
void canonicalCodes(const std::uint8_t* lengths, int count, std::uint16_t* codes) {
  std::array<std::uint16_t, 16> perLength{}, next{};
  for (int s = 0; s < count; ++s) ++perLength[lengths[s]];
  perLength[0] = 0;
  std::uint16_t code = 0;
  for (int bits = 1; bits < 16; ++bits) {
    code = std::uint16_t((code + perLength[bits - 1]) << 1);
    next[bits] = code;
  }
  for (int s = 0; s < count; ++s) {
    const int bits = lengths[s];
    if (bits == 0) continue;
    const std::uint16_t c = next[bits]++;
    std::uint16_t reversed = 0;
    for (int b = 0; b < bits; ++b) reversed |= std::uint16_t(((c >> b) & 1) << (bits - 1 - b));
    codes[s] = reversed;
  }
}

// The code lengths of both trees, run-length coded with symbols 16, 17 and
// 18 (RFC 1951, 3.2.7). Each entry is symbol | extra value << 8.
std::vector<std::uint16_t> runLengthCode(const std::uint8_t* lengths, int count) {
  std::vector<std::uint16_t> out;
  for (int i = 0; i < count;) {
    const std::uint8_t value = lengths[i];
    int run = 1;
    while (i + run < count && lengths[i + run] == value) ++run;
    i += run;
    if (value == 0) {
      while (run >= 11) {
        const int take = std::min(run, 138);
        out.push_back(std::uint16_t(18 | (take - 11) << 8));
        run -= take;
      }
      if (run >= 3) {
        out.push_back(std::uint16_t(17 | (run - 3) << 8));
        run = 0;
      }
    } else {
      out.push_back(value);
      --run;
      while (run >= 3) {
        const int take = std::min(run, 6);
        out.push_back(std::uint16_t(16 | (take - 3) << 8));
        run -= take;
      }
    }
    for (; run > 0; --run) out.push_back(value);
  }
  return out;
}

constexpr std::array<std::uint8_t, 19> kCodeLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                                           0, 0, 0, 0, 0, 0, 2, 3, 7};

// What a literal and a match are likely to cost, in sixteenths of a bit,
// learnt from the Huffman codes of the block written last (the first block
// uses rough figures for raster data). A match is chosen for what it saves
// over sending its bytes as literals, not for its length alone: a shorter
// match at a cheap distance often beats a longer one far away.
class CostModel {
 public:
  CostModel() {
    byte_.fill(16 * 6);
    for (unsigned c = 0; c < 29; ++c) length_[c] = 16 * (4 + kLengthExtra[c]);
    for (unsigned c = 0; c < 30; ++c) distance_[c] = 16 * (5 + kDistanceExtra[c]);
  }

  // `lengths`: the literal/length code lengths followed by the distance ones.
  void learn(const std::uint8_t* lengths) {
    // A symbol the last block did not use would get a long code.
    for (unsigned s = 0; s < 256; ++s) byte_[s] = 16 * (lengths[s] != 0 ? lengths[s] : 12);
    for (unsigned c = 0; c < 29; ++c) length_[c] = 16 * ((lengths[257 + c] != 0 ? lengths[257 + c] : 12) + kLengthExtra[c]);
    for (unsigned c = 0; c < 30; ++c)
      distance_[c] = 16 * ((lengths[kLiteralCount + c] != 0 ? lengths[kLiteralCount + c] : 10) + kDistanceExtra[c]);
  }

  std::uint32_t byte(std::uint8_t b) const { return byte_[b]; }
  std::uint32_t match(std::size_t length, std::size_t distance) const {
    return length_[lengthCode(length)] + distance_[distanceCode(distance)];
  }

 private:
  std::array<std::uint32_t, 256> byte_{};
  std::array<std::uint32_t, 29> length_{};
  std::array<std::uint32_t, 30> distance_{};
};

class Deflater {
 public:
  Deflater(const std::uint8_t* data, std::size_t size, std::size_t rowBytes, std::vector<std::uint8_t>& out)
      : data_(data), size_(size), rowBytes_(rowBytes >= 2 && rowBytes <= kWindow ? rowBytes : 0),
        bits_(out),
        // Small inputs get small tables: a thumbnail should not pay for
        // clearing what an E-size sheet needs.
        hashBits_(unsigned(std::clamp(int(std::bit_width(size)), 8, int(kMaxHashBits)))),
        chainMask_(std::min(kWindow, std::bit_ceil(std::max<std::size_t>(size, 1))) - 1),
        head_(std::size_t{1} << hashBits_, 0), prev_(chainMask_ + 1, 0) {
    symbols_.reserve(kBlockSymbols);
  }

  void run() {
    std::size_t blockStart = 0, i = 0;
    std::size_t lookaheadLength = 0, lookaheadDistance = 0;
    bool haveLookahead = false;
    while (i < size_) {
      std::size_t length, distance;
      if (haveLookahead) {
        length = lookaheadLength, distance = lookaheadDistance;
        haveLookahead = false;
      } else {
        longestMatch(i, length, distance);
      }
      if (length >= kMinMatch && length < kLazyBelow && i + 1 < size_) {
        longestMatch(i + 1, lookaheadLength, lookaheadDistance);
        if (saving(i + 1, lookaheadLength, lookaheadDistance) > saving(i, length, distance)) {
          haveLookahead = true;
          length = 0;
        }
      }
      if (length >= kMinMatch) {
        symbols_.push_back({std::uint16_t(length), std::uint16_t(distance)});
        i += length;
      } else {
        symbols_.push_back({data_[i], 0});
        ++i;
      }
      if (symbols_.size() >= kBlockSymbols && !haveLookahead) {
        writeBlock(blockStart, i, i == size_);
        blockStart = i;
      }
    }
    if (blockStart < size_ || size_ == 0) writeBlock(blockStart, size_, true);
    bits_.alignToByte();
  }

 private:
  // Hash of the kHashed bytes at i.
  std::uint32_t hashAt(std::size_t i) const {
    std::uint32_t v;
    std::memcpy(&v, data_ + i, 4);
    return (v * 2654435761u) >> (32 - hashBits_);
  }

  // Enters every position before `end` into the hash chains.
  void insertUpTo(std::size_t end) {
    const std::size_t last = size_ >= kHashed ? size_ - kHashed + 1 : 0;
    for (end = std::min(end, last); inserted_ < end; ++inserted_) {
      const std::uint32_t h = hashAt(inserted_);
      prev_[inserted_ & chainMask_] = head_[h];
      head_[h] = std::uint32_t(inserted_) + 1;
    }
  }

  std::size_t matchLength(std::size_t from, std::size_t at, std::size_t limit) const {
    std::size_t n = 0;
    while (n + 8 <= limit) {
      std::uint64_t a, b;
      std::memcpy(&a, data_ + from + n, 8);
      std::memcpy(&b, data_ + at + n, 8);
      if (a != b) {
        const std::uint64_t diff = a ^ b;
        return n + std::size_t((std::endian::native == std::endian::little ? std::countr_zero(diff)
                                                                           : std::countl_zero(diff)) / 8);
      }
      n += 8;
    }
    while (n < limit && data_[from + n] == data_[at + n]) ++n;
    return n;
  }

  // Literal cost of the bytes before position p (modulo 2^32), for p
  // within kCostRing of the furthest position asked for.
  std::uint32_t costBefore(std::size_t p) {
    for (; costsUpTo_ < p; ++costsUpTo_)
      costRing_[(costsUpTo_ + 1) % kCostRing] = costRing_[costsUpTo_ % kCostRing] + costs_.byte(data_[costsUpTo_]);
    return costRing_[p % kCostRing];
  }

  // What a match at i saves over sending its bytes as literals (negative
  // when it costs more).
  std::int64_t saving(std::size_t i, std::size_t length, std::size_t distance) {
    if (length < kMinMatch) return 0;
    const std::uint32_t literals = costBefore(i + length) - costBefore(i);
    return std::int64_t(literals) - std::int64_t(costs_.match(length, distance));
  }

  // The match for position i that saves most: the byte before and the byte
  // a row above first, then the hash chain; a tie keeps the earlier
  // candidate. No match (length 0) when none saves anything.
  void longestMatch(std::size_t i, std::size_t& bestLength, std::size_t& bestDistance) {
    bestLength = 0;
    bestDistance = 0;
    const std::size_t limit = std::min(kMaxMatch, size_ - i);
    if (limit < kMinMatch) return;
    insertUpTo(i);
    std::int64_t bestSaving = 0;
    auto consider = [&](std::size_t distance) {
      const std::size_t length = matchLength(i - distance, i, limit);
      const std::int64_t s = saving(i, length, distance);
      if (s > bestSaving) bestSaving = s, bestLength = length, bestDistance = distance;
    };
    if (i >= 1) consider(1);
    if (rowBytes_ != 0 && i >= rowBytes_ && bestLength < limit) consider(rowBytes_);
    if (limit < kHashed) return;
    std::uint32_t entry = head_[hashAt(i)];
    for (int depth = kChainDepth; depth > 0 && bestLength < limit; --depth) {
      // Entries hold the low 32 bits of a position, plus one (0: none). In
      // data beyond 4 GiB an entry may name a position 4 GiB back; it is
      // then only a poor hint, as every match is checked byte by byte.
      const std::size_t distance = std::uint32_t(std::uint32_t(i) - (entry - 1));
      if (entry == 0 || distance == 0 || distance > kWindow || distance > i) break;
      const std::size_t candidate = i - distance;
      if (distance != 1 && distance != rowBytes_ &&
          data_[candidate + bestLength] == data_[i + bestLength])  // could be longer
        consider(distance);
      entry = prev_[candidate & chainMask_];
    }
  }

  void writeBlock(std::size_t start, std::size_t end, bool last) {
    std::array<std::uint32_t, kLiteralCount> literalFreq{};
    std::array<std::uint32_t, kDistanceCount> distanceFreq{};
    for (const Symbol& s : symbols_) {
      if (s.distance == 0) {
        ++literalFreq[s.value];
      } else {
        ++literalFreq[257 + lengthCode(s.value)];
        ++distanceFreq[distanceCode(s.distance)];
      }
    }
    literalFreq[256] = 1;  // end of block
    // Inflaters expect at least one distance code even in a block of
    // literals only; two one-bit codes make it complete.
    if (std::all_of(distanceFreq.begin(), distanceFreq.end(), [](std::uint32_t f) { return f == 0; }))
      distanceFreq[0] = 1;
    std::array<std::uint8_t, kLiteralCount + kDistanceCount> lengths{};
    huffmanLengths(literalFreq.data(), kLiteralCount, 15, lengths.data());
    huffmanLengths(distanceFreq.data(), kDistanceCount, 15, lengths.data() + kLiteralCount);
    costs_.learn(lengths.data());
    int literals = kLiteralCount, distances = kDistanceCount;
    while (literals > 257 && lengths[literals - 1] == 0) --literals;
    while (distances > 1 && lengths[kLiteralCount + distances - 1] == 0) --distances;
    // Both trees' lengths as one sequence: literal/length then distance.
    std::array<std::uint8_t, kLiteralCount + kDistanceCount> sent{};
    std::copy_n(lengths.begin(), literals, sent.begin());
    std::copy_n(lengths.begin() + kLiteralCount, distances, sent.begin() + literals);
    const std::vector<std::uint16_t> runs = runLengthCode(sent.data(), literals + distances);
    std::array<std::uint32_t, kCodeLengthCount> runFreq{};
    for (std::uint16_t r : runs) ++runFreq[r & 0xFF];
    std::array<std::uint8_t, kCodeLengthCount> runLengths{};
    huffmanLengths(runFreq.data(), kCodeLengthCount, 7, runLengths.data());
    int codeLengths = kCodeLengthCount;
    while (codeLengths > 4 && runLengths[kCodeLengthOrder[codeLengths - 1]] == 0) --codeLengths;

    // Size of the block in bits both ways; store the bytes when that is shorter.
    std::uint64_t dynamicBits = 3 + 5 + 5 + 4 + 3 * std::uint64_t(codeLengths);
    for (std::uint16_t r : runs) dynamicBits += runLengths[r & 0xFF] + kCodeLengthExtra[r & 0xFF];
    for (int s = 0; s < kLiteralCount; ++s) dynamicBits += std::uint64_t(literalFreq[s]) * lengths[s];
    for (int c = 0; c < 29; ++c) dynamicBits += std::uint64_t(literalFreq[257 + c]) * kLengthExtra[c];
    for (int c = 0; c < kDistanceCount; ++c)
      dynamicBits += std::uint64_t(distanceFreq[c]) * (lengths[kLiteralCount + c] + kDistanceExtra[c]);
    const std::size_t bytes = end - start;
    const std::uint64_t storedBits =
        (std::uint64_t(bytes) + 5 * std::max<std::uint64_t>(1, (bytes + kStoredMax - 1) / kStoredMax)) * 8 + 7;
    if (storedBits <= dynamicBits)
      writeStored(start, end, last);
    else
      writeDynamic(lengths.data(), literals, distances, runs, runLengths.data(), codeLengths, last);
    symbols_.clear();
  }

  void writeStored(std::size_t start, std::size_t end, bool last) {
    do {
      const std::size_t take = std::min(kStoredMax, end - start);
      const bool final = last && start + take == end;
      bits_.put(final ? 1 : 0, 3);  // BFINAL, BTYPE 00
      bits_.alignToByte();
      bits_.put(std::uint32_t(take), 16);
      bits_.put(std::uint32_t(~take & 0xFFFF), 16);
      for (std::size_t k = 0; k < take; ++k) bits_.put(data_[start + k], 8);
      start += take;
    } while (start < end);
  }

  void writeDynamic(const std::uint8_t* lengths, int literals, int distances, const std::vector<std::uint16_t>& runs,
                    const std::uint8_t* runLengths, int codeLengths, bool last) {
    std::array<std::uint16_t, kLiteralCount + kDistanceCount> codes{};
    canonicalCodes(lengths, kLiteralCount, codes.data());
    canonicalCodes(lengths + kLiteralCount, kDistanceCount, codes.data() + kLiteralCount);
    std::array<std::uint16_t, kCodeLengthCount> runCodes{};
    canonicalCodes(runLengths, kCodeLengthCount, runCodes.data());

    bits_.put(last ? 1 : 0, 1);
    bits_.put(2, 2);  // dynamic Huffman codes
    bits_.put(std::uint32_t(literals - 257), 5);
    bits_.put(std::uint32_t(distances - 1), 5);
    bits_.put(std::uint32_t(codeLengths - 4), 4);
    for (int k = 0; k < codeLengths; ++k) bits_.put(runLengths[kCodeLengthOrder[k]], 3);
    for (std::uint16_t r : runs) {
      const unsigned symbol = r & 0xFF;
      bits_.put(runCodes[symbol], runLengths[symbol]);
      if (kCodeLengthExtra[symbol] != 0) bits_.put(r >> 8, kCodeLengthExtra[symbol]);
    }
    const std::uint16_t* distanceCodes = codes.data() + kLiteralCount;
    const std::uint8_t* distanceLengths = lengths + kLiteralCount;
    for (const Symbol& s : symbols_) {
      if (s.distance == 0) {
        bits_.put(codes[s.value], lengths[s.value]);
        continue;
      }
      const unsigned lc = lengthCode(s.value);
      bits_.put(codes[257 + lc], lengths[257 + lc]);
      if (kLengthExtra[lc] != 0) bits_.put(s.value - kLengthBase[lc], kLengthExtra[lc]);
      const unsigned dc = distanceCode(s.distance);
      bits_.put(distanceCodes[dc], distanceLengths[dc]);
      if (kDistanceExtra[dc] != 0) bits_.put(s.distance - kDistanceBase[dc], kDistanceExtra[dc]);
    }
    bits_.put(codes[256], lengths[256]);
  }

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t rowBytes_;
  BitWriter bits_;
  unsigned hashBits_;
  std::size_t chainMask_;
  std::vector<std::uint32_t> head_, prev_;  // hash chains: see longestMatch
  std::size_t inserted_ = 0;
  std::vector<Symbol> symbols_;
  CostModel costs_;
  std::array<std::uint32_t, kCostRing> costRing_{};
  std::size_t costsUpTo_ = 0;
};

}  // namespace

std::vector<std::uint8_t> zlibCompressRows(const std::uint8_t* data, std::size_t size, std::size_t rowBytes) {
  std::vector<std::uint8_t> out;
  out.reserve(size / 4 + 64);
  // RFC 1950 header: deflate with a 32 KiB window, default level, no
  // dictionary; 0x789C is a multiple of 31 as the check bits require.
  out.push_back(0x78);
  out.push_back(0x9C);
  Deflater(data, size, rowBytes, out).run();
  const std::uint32_t adler = std::uint32_t(libdeflate_adler32(1, data, size));
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(std::uint8_t(adler >> shift));
  return out;
}

}  // namespace hv::tool
