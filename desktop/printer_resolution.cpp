// The resolution a CUPS destination prints at by default.
#include "desktop/printer_resolution.h"

#include <cups/cups.h>

namespace hv::desktop {

int defaultPrinterResolution(const QString& printerName) {
  cups_dest_t* dests = nullptr;
  const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
  const QByteArray name = printerName.toUtf8();
  cups_dest_t* dest = cupsGetDest(printerName.isEmpty() ? nullptr : name.constData(), nullptr, count, dests);
  int dpi = 0;
  if (dest != nullptr) {
    if (cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
      ipp_attribute_t* attr = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, "printer-resolution");
      if (attr != nullptr && ippGetValueTag(attr) == IPP_TAG_RESOLUTION) {
        ipp_res_t units = IPP_RES_PER_INCH;
        int yres = 0;
        const int xres = ippGetResolution(attr, 0, &yres, &units);
        dpi = units == IPP_RES_PER_CM ? int(xres * 2.54 + 0.5) : xres;
      }
      cupsFreeDestInfo(info);
    }
  }
  cupsFreeDests(count, dests);
  return dpi > 0 && dpi <= 9600 ? dpi : 0;
}

}  // namespace hv::desktop
