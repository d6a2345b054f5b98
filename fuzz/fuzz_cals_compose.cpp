// Header composition fuzz target: user data files and source headers.
// Byte 0: bit 0 asks for the 1840 B form, bits 1-2 the source kind (none,
// CALS, EDMICS VI card). Bytes 1-2: length of the user data text that
// follows; the rest is the source's header bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>

#include "formats/cals1_header.h"
#include "formats/cals1_layout.h"
#include "formats/cals_compose.h"

using namespace hv::formats::cals;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const bool formB = (data[0] & 1) != 0;
  const int kind = (data[0] >> 1) & 3;
  std::size_t userLen = std::min<std::size_t>(data[1] | data[2] << 8, size - 3);
  std::string_view user(reinterpret_cast<const char*>(data + 3), userLen);
  std::string_view rest(reinterpret_cast<const char*>(data + 3 + userLen), size - 3 - userLen);
  SourceHeader source;
  if (kind == 1) source = calsSource(rest);
  if (kind == 2) source = edmicsSource(rest);

  char block[kBlockBytes + 1];
  block[kBlockBytes] = '\x7f';  // guard: nothing may be written past the block
  composeHeader(block, formB, user, source);
  if (block[kBlockBytes] != '\x7f') abort();
  const bool replaced = source.kind == (formB ? SourceKind::k1840B : SourceKind::k1840A);
  // Unless the source's own header was taken whole, the block starts with the
  // keyword that makes the file recognisable, in the form asked for.
  if (!replaced) {
    const char* start = formB ? "specversion: " : "srcdocid: ";
    if (::strncasecmp(block, start, std::strlen(start)) != 0) abort();
  }
  if (formB && isFormB(block) != true) abort();
  setRasterRecords(block, 0, 3, 1700, 1100, 200, 1);
  if (!formB && !replaced && isFormB(block)) abort();

  std::string card = composeCard(user, source);
  if (card.size() != kCardColumns) abort();
  std::string back = cardFromSrcDocId(srcDocIdFromCard(card));
  if (back.size() != kCardColumns) abort();
  // The columns the card mapping carries survive a trip through 1840 B.
  if (card[50] != 'T') {
    for (int c : {0, 21, 48, 49, 50, 51, 76, 77, 78, 79})
      if (back[c] != card[c] && !(c == 49 && card[49] == ' ')) abort();
  }
  return 0;
}
