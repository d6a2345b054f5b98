// The expansion of packed 1-bit rows to 32-bit pixels that the view's bands
// and the overview's picture share: every bit offset and ragged width against
// a pixel-by-pixel reading, and a whole picture against Qt's own conversion.
#include <QRandomGenerator>
#include <QTest>
#include <vector>

#include "viewer/bit_expansion.h"
#include "viewer/tests/viewer_tests.h"

namespace hv::viewer::test {

class BitExpansionTest : public QObject {
  Q_OBJECT

 private slots:
  void everyOffsetAndWidthMatchesTheBits() {
    std::vector<std::uint8_t> bits(8);
    QRandomGenerator random(5);
    for (auto& b : bits) b = std::uint8_t(random.bounded(256));
    bits[0] = 0xA5;
    for (int skip = 0; skip < 8; ++skip) {
      for (int width = 0; skip + width <= 64; ++width) {
        // One pixel beyond the width shows an overrun.
        std::vector<QRgb> out(std::size_t(width) + 1, 0x12345678u);
        expandBitRow(bits.data(), skip, width, out.data());
        for (int x = 0; x < width; ++x) {
          const bool black = bits[std::size_t(skip + x) / 8] & (0x80 >> ((skip + x) % 8));
          QVERIFY2(out[std::size_t(x)] == (black ? qRgb(0, 0, 0) : qRgb(255, 255, 255)),
                   qPrintable(QString("skip %1 width %2 x %3").arg(skip).arg(width).arg(x)));
        }
        QCOMPARE(out[std::size_t(width)], QRgb(0x12345678u));
      }
    }
  }

  void aMonoPictureLooksAsQtDrawsIt() {
    QImage mono(61, 7, QImage::Format_Mono);
    mono.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    QRandomGenerator random(9);
    for (int y = 0; y < mono.height(); ++y)
      for (int x = 0; x < mono.width(); ++x) mono.setPixel(x, y, random.bounded(2));
    const QImage ours = expandedPicture(mono);
    QCOMPARE(ours.format(), QImage::Format_RGB32);
    QCOMPARE(ours, mono.convertToFormat(QImage::Format_RGB32));
    QVERIFY(expandedPicture(QImage()).isNull());
  }
};

QObject* makeBitExpansionTest() { return new BitExpansionTest; }

}  // namespace hv::viewer::test

#include "bit_expansion_test.moc"
