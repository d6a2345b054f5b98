#include "viewer/bit_expansion.h"

#include <cstring>

namespace hv::viewer {

namespace {

constexpr QRgb kBlack = qRgb(0, 0, 0), kWhite = qRgb(255, 255, 255);

// Eight 32-bit pixels for each byte of packed bits.
struct ByteExpansion {
  QRgb pixels[256][8];
  ByteExpansion() {
    for (int b = 0; b < 256; ++b)
      for (int i = 0; i < 8; ++i) pixels[b][i] = (b & (0x80 >> i)) ? kBlack : kWhite;
  }
};

}  // namespace

void expandBitRow(const std::uint8_t* bits, int skip, int width, QRgb* out) {
  static const ByteExpansion table;
  int x = 0;
  // Leading pixels up to a byte boundary of the source.
  for (; x < width && ((skip + x) & 7) != 0; ++x)
    out[x] = (bits[(skip + x) >> 3] & (0x80 >> ((skip + x) & 7))) ? kBlack : kWhite;
  const std::uint8_t* byte = bits + ((skip + x) >> 3);
  for (; x + 8 <= width; x += 8) std::memcpy(out + x, table.pixels[*byte++], sizeof table.pixels[0]);
  for (int i = 0; x < width; ++x, ++i) out[x] = table.pixels[*byte][i];
}

void expandBitRows(const std::uint8_t* bits, std::size_t rowBytes, int skip, int width, int rows,
                   QImage& into) {
  for (int r = 0; r < rows; ++r)
    expandBitRow(bits + std::size_t(r) * rowBytes, skip, width, reinterpret_cast<QRgb*>(into.scanLine(r)));
}

QImage expandedPicture(const QImage& mono) {
  if (mono.isNull()) return {};
  QImage out(mono.size(), QImage::Format_RGB32);
  if (out.isNull()) return {};
  expandBitRows(mono.constBits(), std::size_t(mono.bytesPerLine()), 0, mono.width(), mono.height(), out);
  return out;
}

}  // namespace hv::viewer
