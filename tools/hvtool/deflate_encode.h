#pragma once
// A deflate encoder (RFC 1951 inside an RFC 1950 zlib stream) made for
// raster rows: besides the usual hash chains it always offers the byte
// straight above (one row back) and the byte just before as match sources,
// and among equally long matches it keeps those two distances, so that a
// drawing's distance codes cost a bit or two. Blocks use dynamic Huffman
// codes, or are stored when that is shorter.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace hv::tool {

// The zlib stream of `size` bytes at `data`. `rowBytes` is the length of the
// rows the data is made of (0 when it has none; more than 32768 is treated
// as none). Never fails; the result is at most a few bytes per 64 KiB longer
// than the input.
std::vector<std::uint8_t> zlibCompressRows(const std::uint8_t* data, std::size_t size,
                                           std::size_t rowBytes);

// Code lengths (0 for an unused symbol) of a Huffman code for the `count`
// frequencies, none longer than `limit` bits (1 <= limit <= 15, count <=
// 2^limit). Whenever a symbol is used the code is complete, as inflaters
// insist: a lone symbol gets a partner of the same length.
void huffmanLengths(const std::uint32_t* freq, int count, int limit, std::uint8_t* lengths);

}  // namespace hv::tool
