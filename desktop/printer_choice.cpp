// Which printer a print goes to (see printer_choice.h).
#include "desktop/printer_choice.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

#include "desktop/printer_resolution.h"

namespace hv::desktop {

QString choosePrinter(const QString& current, const QString& defaultName) {
  const QStringList installed = QPrinterInfo::availablePrinterNames();
  if (!current.isEmpty() && installed.contains(current)) return current;
  if (!defaultName.isEmpty() && installed.contains(defaultName)) return defaultName;
  return QPrinterInfo::defaultPrinterName();
}

bool usePrinter(QPrinter& printer, const QString& name) {
  const QPrinterInfo info = name.isEmpty() ? QPrinterInfo::defaultPrinter() : QPrinterInfo::printerInfo(name);
  if (info.isNull()) return false;
  printer.setPrinterName(info.printerName());
  if (printer.printerName() != info.printerName()) return false;
  printer.setOutputFormat(QPrinter::NativeFormat);
  const QPageSize paper = info.defaultPageSize();
  if (paper.isValid()) printer.setPageSize(paper);
  printer.setPageOrientation(QPageLayout::Portrait);
  // Qt takes its own high resolution for every printer; the page is drawn
  // at the resolution the destination itself prints at.
  if (const int dpi = defaultPrinterResolution(info.printerName()); dpi > 0) printer.setResolution(dpi);
  return true;
}

bool isInvertedBitPrinter(const QString& printerName, const QStringList& invertedBitPrinters) {
  return !printerName.isEmpty() && invertedBitPrinters.contains(printerName, Qt::CaseSensitive);
}

bool printsInverted(bool viewInverted, const QString& printerName, const QStringList& invertedBitPrinters) {
  return isInvertedBitPrinter(printerName, invertedBitPrinters) ? !viewInverted : viewInverted;
}

}  // namespace hv::desktop
