#pragma once
// Packed 1-bit rows (1 = black, most significant bit leftmost, as the
// engine's bands and QImage::Format_Mono hold them) expanded to 32-bit
// pixels, the format of the screen's surface, a byte of bits at a time.
#include <QImage>
#include <QRgb>
#include <cstddef>
#include <cstdint>

namespace hv::viewer {

// Expands `width` pixels of one row, starting `skip` bits into `bits`, into
// out[0 .. width).
void expandBitRow(const std::uint8_t* bits, int skip, int width, QRgb* out);

// Expands `rows` rows of `width` pixels, each `rowBytes` apart and starting
// `skip` bits in, into the top rows of `into` (QImage::Format_RGB32, at least
// that wide and high).
void expandBitRows(const std::uint8_t* bits, std::size_t rowBytes, int skip, int width, int rows,
                   QImage& into);

// A QImage::Format_Mono picture whose colour 1 is black and 0 white, in
// 32-bit pixels; null for a null picture.
QImage expandedPicture(const QImage& mono);

}  // namespace hv::viewer
