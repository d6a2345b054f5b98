#pragma once
// The resolution a CUPS destination prints at by default.
#include <QString>

namespace hv::desktop {

// The destination's default "printer-resolution" in dots per inch (the
// horizontal one), asked of the CUPS server; the default destination when
// `printerName` is empty. 0 when the server does not say.
int defaultPrinterResolution(const QString& printerName);

}  // namespace hv::desktop
