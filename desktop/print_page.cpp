// Printing one drawing as one page (see print_page.h).
#include "desktop/print_page.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <cstring>

#include "engine/display.h"
#include "engine/display_surface.h"

namespace hv::desktop {
namespace {

QFont stampFont(int dpi) {
  QFont font(QString::fromLatin1(engine::kStampFontFamily));
  font.setStyleHint(QFont::Times, QFont::StyleStrategy(QFont::PreferOutline | QFont::NoAntialias));
  font.setWeight(QFont::Normal);
  font.setPixelSize(engine::stampPrintHeight(std::uint32_t(dpi)));
  return font;
}

// The device the engine's bands go to: each band becomes a 1-bit image
// drawn at its place, so the page never holds more than a band. The bits are
// stored inverted under the colour table black, white: Qt's PDF output keeps
// such an image as a 1-bit stencil painted in the pen's black instead of
// converting it to a lossy colour image.
struct PainterDevice {
  QPainter* painter = nullptr;
  QImage band;

  static void blit(void* user, const GrxBand& b) {
    auto* self = static_cast<PainterDevice*>(user);
    if (b.width <= 0 || b.height <= 0) return;
    QImage& img = self->band;
    if (img.width() != b.width || img.height() != b.height) {
      img = QImage(b.width, b.height, QImage::Format_Mono);
      img.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    }
    const std::size_t bytes = (std::size_t(b.width) + 7) / 8;
    for (std::int32_t r = 0; r < b.height; ++r) {
      std::uint8_t* dst = img.scanLine(r);
      const std::uint8_t* src = b.bits + std::size_t(r) * b.rowBytes;
      if (b.skip == 0) std::memcpy(dst, src, bytes);
      else engine::copyBits(dst, 0, src, b.skip, std::uint32_t(b.width));
      for (std::size_t i = 0; i < bytes; ++i) dst[i] = std::uint8_t(~dst[i]);
    }
    self->painter->drawImage(QPoint(b.left, b.top), img);
  }
};

}  // namespace

int stampLineHeight(QPainter* painter, int dpi) {
  QFont font = stampFont(dpi);
  QFontMetrics metrics = painter && painter->device() ? QFontMetrics(font, painter->device()) : QFontMetrics(font);
  int text = std::max(metrics.height(), engine::stampPrintHeight(std::uint32_t(dpi)));
  return text + text / 4;
}

bool paintPrintPage(QPainter& painter, const QSize& printable, int dpi, const PrintRequest& request,
                    PrintedPage* page) {
  ImageHdl h = request.image;
  if (h == nullptr || h->record == nullptr) return false;
  // The size of what the engine draws from: image memory once it is the
  // display source (after a mirror, or an image made in memory), else the file.
  const bool fromMemory = h->memory != nullptr && (h->displayFromMemory || !hv::engine::hasFile(h));
  engine::PrintSource source;
  source.imageWidth = fromMemory ? h->memory->width : h->record->width;
  source.imageHeight = fromMemory ? h->memory->height : h->record->height;
  source.rect = request.source;
  source.rotation = request.viewRotation;
  engine::PrintOptions options;
  options.rotateForBestFit = request.rotateForBestFit;
  options.stampLine = request.stamp.isEmpty() ? 0 : stampLineHeight(&painter, dpi);
  engine::PrintLayout layout;
  if (engine::layoutPrintPage({printable.width(), printable.height()}, source, options, layout) != hv::Status::Ok) return false;

  if (!request.stamp.isEmpty()) {
    painter.save();
    painter.setFont(stampFont(dpi));
    painter.setPen(Qt::black);
    const GrxRect& s = layout.stamp;
    const QRect line(s.left, s.top, s.right - s.left, s.bottom - s.top);
    // Glyphs that overhang stay in the stamp's own line.
    painter.setClipRect(line);
    painter.drawText(line, Qt::AlignLeft | Qt::AlignTop, request.stamp);
    painter.restore();
  }

  // The engine draws the picture; the handle's invert flag decides polarity.
  painter.save();
  painter.setPen(Qt::black);
  painter.setBackgroundMode(Qt::TransparentMode);
  painter.setRenderHint(QPainter::LosslessImageRendering);
  PainterDevice device{&painter, {}};
  GrxDevice grxDevice{&PainterDevice::blit, &device};
  GrxBlitTarget target{&grxDevice, nullptr};
  const int savedInvert = h->invert;
  h->invert = request.invert ? 1 : 0;
  int status = grxRenderRect(&target, &layout.picture, h, &layout.image, layout.scale, layout.rotation,
                             GRX_LINES_AUTOMATIC, nullptr);
  h->invert = savedInvert;
  painter.restore();
  if (page) {
    page->dpi = dpi;
    page->layout = layout;
    page->renderStatus = status;
  }
  return true;
}

PrintStatus printDrawing(QPrinter& printer, const PrintRequest& request, PrintedPage* page) {
  ImageHdl h = request.image;
  if (h == nullptr || h->record == nullptr || h->record->width == 0 || h->record->height == 0)
    return PrintStatus::kNoImage;
  const int dpi = printer.resolution();
  const QPageLayout pageLayout = printer.pageLayout();
  const QRect paper = pageLayout.fullRectPixels(dpi);
  const QRect printable = printer.fullPage() ? paper : pageLayout.paintRectPixels(dpi);
  if (!request.jobName.isEmpty()) printer.setDocName(request.jobName);

  QPainter painter;
  if (!painter.begin(&printer)) return PrintStatus::kCannotStart;
  PrintedPage done;
  done.paper = paper;
  done.printable = printable;
  if (!paintPrintPage(painter, printable.size(), dpi, request, &done)) {
    // Nothing may reach the printer: the job is dropped, not sent blank.
    printer.abort();
    painter.end();
    return PrintStatus::kNoLayout;
  }
  if (page) *page = done;
  const int status = done.renderStatus;
  if (status != GRX_RENDER_DONE && status != GRX_RENDER_DECODE_ERROR) {
    printer.abort();
    painter.end();
    return PrintStatus::kRenderFailed;
  }
  if (!painter.end() || printer.printerState() == QPrinter::Error) return PrintStatus::kSubmitFailed;
  return PrintStatus::kPrinted;
}

}  // namespace hv::desktop
