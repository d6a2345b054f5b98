#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/grx_status.h"
#include "engine/image_handle.h"
#include "engine/image_save.h"
#include "formats/file_manager.h"
#include "formats/format_tables.h"
#include "tools/hvtool/commands.h"

namespace hv::tool {
namespace {

constexpr const char* kConvertUsage =
    "usage: hvtool convert IN OUT --to CODE [--align-width 8|16] [--align-height 8|16]\n"
    "                      [--settings FILE] [--1840b]\n"
    "Loads IN and saves it as OUT in the image format CODE: TIFFGP4, TIFFGP3,\n"
    "TIFFGP3T, TIFFRAWM, TIFFGP4W, CAL1GP4, CAL2GP4, EDM6GP4, \"AUD RAWM\" or\n"
    "DSEDGP4W (trailing blanks may be left out). CAL2GP4 lays its document out\n"
    "from the template d1.cal (current directory first, then the shipped copy).\n"
    "  --align-width N    pad the width with white to a multiple of N (8 or 16)\n"
    "  --align-height N   likewise the height\n"
    "  --settings FILE    settings file whose [Preferences] names the CALS user data files\n"
    "  --1840b            give a CALS target the 1840 B header form\n"
    "OUT is written under a temporary name in its folder (created when missing) and\n"
    "renamed into place only when complete; a symbolic link's target is updated, and\n"
    "a device, a FIFO or - (standard output) is written straight into.\n";

// Targets whose header holds one resolution for both directions.
bool holdsOneDensity(const char* code) {
  for (const char* kind : {"CAL1", "CAL2", "EDM6", "DSED"})
    if (std::strncmp(code, kind, 4) == 0) return true;
  return false;
}

bool alignment(const std::string& v, int& out) {
  if (v != "8" && v != "16") return false;
  out = std::atoi(v.c_str());
  return true;
}

}  // namespace

int cmdConvert(const Args& args) {
  if (wantsHelp(args)) {
    std::fputs(kConvertUsage, stdout);
    return 0;
  }
  std::string in, out, code, settings;
  int alignW = 0, alignH = 0;
  bool formB = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    bool hasValue = i + 1 < args.size();
    if (a == "--to" && hasValue) {
      code = args[++i];
    } else if (a == "--align-width" && hasValue) {
      if (!alignment(args[++i], alignW)) return std::fputs(kConvertUsage, stderr), 2;
    } else if (a == "--align-height" && hasValue) {
      if (!alignment(args[++i], alignH)) return std::fputs(kConvertUsage, stderr), 2;
    } else if (a == "--settings" && hasValue) {
      settings = args[++i];
    } else if (a == "--1840b") {
      formB = true;
    } else if (a.size() > 1 && a[0] == '-') {
      std::fprintf(stderr, "hvtool convert: unknown option '%s'\n%s", a.c_str(), kConvertUsage);
      return 2;
    } else if (in.empty()) {
      in = a;
    } else if (out.empty()) {
      out = a;
    } else {
      std::fputs(kConvertUsage, stderr);
      return 2;
    }
  }
  if (in.empty() || out.empty() || code.empty()) {
    std::fputs(kConvertUsage, stderr);
    return 2;
  }
  int index = hv::formats::findImageFormat(code);
  if (index < 0) {
    std::fprintf(stderr, "hvtool convert: unknown image format code '%s'\n", code.c_str());
    return 2;
  }
  ImageHdl h = grxOpenImage(nullptr, in.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
  if (h == nullptr) return 1;
  if (!grxLoadImageMemory(h, nullptr)) {
    std::fprintf(stderr, "%s: decoding failed\n", in.c_str());
    grxCloseImage(h);
    return 1;
  }
  const char* targetCode = hv::formats::kImageFormats[index].code;
  const std::uint32_t xres = h->record->xResolution;
  const std::uint32_t yres = h->record->yResolution != 0 ? h->record->yResolution : xres;
  if (holdsOneDensity(targetCode) && xres != 0 && xres != yres)
    std::fprintf(stderr,
                 "hvtool convert: warning: %s holds one resolution for both directions; the drawing's %u x %u dpi "
                 "are written as the horizontal %u dpi\n",
                 code.c_str(), xres, yres, xres);
  GrxSaveOptions options;
  options.settingsFile = settings.empty() ? nullptr : settings.c_str();
  options.header1840B = formB ? 1 : 0;
  int status = grxSaveImage(nullptr, h, out.c_str(), hv::formats::kImageFormats[index].code, &options, alignW, alignH);
  grxCloseImage(h);
  if (status != GRX_OK && *grxSaveErrorText() != '\0') {
    std::fprintf(stderr, "Unable to save %s\n", grxSaveErrorText());
    return 1;
  }
  // Otherwise a failed write has been reported by the file manager.
  if (status == GRX_FAILED) return 1;
  if (status != GRX_OK) {
    std::fprintf(stderr, "%s: saving failed, GRX Error: %d (%s)\n", out.c_str(), status, grxErrorText(status));
    return 1;
  }
  return 0;
}

}  // namespace hv::tool
