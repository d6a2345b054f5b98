#pragma once
// Saving an image's memory into a raster file.
#include "engine/image_handle.h"
#include "platform/export.h"

// The user data of grxSaveImage: what the target's header is made from.
struct GrxSaveOptions {
  const char* settingsFile = nullptr;  // settings file holding the CALS user data file keys; null: none
  int header1840B = 0;                 // CALS targets: nonzero asks for the 1840 B header form
  const char* software = nullptr;      // TIFF Software text; null or empty: the engine's own
  const char* sourcePath = nullptr;    // image whose header a CALS target takes over; null: the handle's file
};

extern "C" {
// Encodes the image memory into `path` in the target format (an image format
// code such as "TIFFGP4 " or "CAL1GP4 ", trailing blanks optional). Width and
// height are padded white to a multiple of 8 or 16 when asked (0: no
// padding) and restored afterwards whatever the outcome. The file is written
// through an AtomicFile (platform/atomic_file.h): a regular file under a
// temporary name in the target folder (created when missing), renamed into
// place only when complete, so a failed save leaves no partial file and an
// existing file untouched; a device, FIFO or "-" straight into it. `userData` is a GrxSaveOptions or null.
// Returns 0, -2 (no handle), -3 (path, format or record missing), -4 (format
// not written), -6 (no image memory), -15 (padding failed), -1 (writing failed).
[[nodiscard]] HV_EXPORT int grxSaveImage(GrxProgress progress, ImageHdl handle, const char* path,
                                         const char* targetFormat, const void* userData, int widthAlignment,
                                         int heightAlignment);

// Why the last grxSaveImage of the calling thread failed, naming the file and
// giving the system's reason or the limit the drawing exceeds; "" when it did
// not fail or no more is known than its status.
HV_EXPORT const char* grxSaveErrorText(void);
}
