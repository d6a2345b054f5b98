#include "bench/bench_data.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/image_handle.h"
#include "engine/image_save.h"

namespace hv::bench {

namespace {

[[noreturn]] void die(const std::string& msg) {
  std::fprintf(stderr, "hvbench: %s\n", msg.c_str());
  std::exit(2);
}

std::string dataPath(const char* name) {
  std::error_code ec;
  std::filesystem::create_directories(HV_BENCH_DATA_DIR, ec);
  if (ec) die(std::string("cannot create ") + HV_BENCH_DATA_DIR);
  return std::string(HV_BENCH_DATA_DIR) + "/" + name;
}

// Writes a min-is-white bilevel TIFF through libtiff, then renames it into place.
void writeTiff(const std::string& path, const hv::drawgen::Bitmap& bm, int compression,
               std::uint32_t rowsPerStrip) {
  const std::string tmp = path + ".part";
  TIFF* tif = TIFFOpen(tmp.c_str(), "w");
  if (tif == nullptr) die("cannot create " + tmp);
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, bm.width);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, bm.height);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
  if (compression == COMPRESSION_CCITTFAX3) TIFFSetField(tif, TIFFTAG_GROUP3OPTIONS, 0);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
  TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
  TIFFSetField(tif, TIFFTAG_XRESOLUTION, 400.0);
  TIFFSetField(tif, TIFFTAG_YRESOLUTION, 400.0);
  TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
  // libtiff takes a non-const buffer; fax encoders leave it unchanged, but a
  // copy keeps the shared bitmap safe whatever the codec does.
  std::vector<std::uint8_t> bits = bm.bits;
  bool ok = true;
  tstrip_t strip = 0;
  for (std::uint32_t y = 0; y < bm.height; y += rowsPerStrip, ++strip) {
    const std::uint32_t rows = std::min(rowsPerStrip, bm.height - y);
    ok = ok && TIFFWriteEncodedStrip(tif, strip, bits.data() + std::size_t(y) * bm.stride,
                                     tmsize_t(rows) * bm.stride) >= 0;
  }
  TIFFClose(tif);
  std::error_code ec;
  if (ok) std::filesystem::rename(tmp, path, ec);
  if (!ok || ec) die("cannot write " + path);
}

struct Data {
  hv::drawgen::Bitmap bitmap;
  std::string pbm, g4, g4Strips, g3, g4UpsideDown, g4Wrap;
};

// The engine's own Group 4 "wrap" save of the one-strip Group 4 file: no
// other writer of that coding is at hand.
void writeWrapTiff(const std::string& path, const std::string& from) {
  ImageHdl h = grxOpenImage(nullptr, from.c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
  const bool ok = h != nullptr && grxLoadImageMemory(h, nullptr) == 1 &&
                  grxSaveImage(nullptr, h, path.c_str(), "TIFFGP4W", nullptr, 0, 0) == 0;
  grxCloseImage(h);
  if (!ok) die("cannot write " + path);
}

// The picture turned through 180 degrees: rows in reverse order, each row
// mirrored.
hv::drawgen::Bitmap upsideDown(const hv::drawgen::Bitmap& bm) {
  hv::drawgen::Bitmap out(bm.width, bm.height);
  for (std::uint32_t y = 0; y < bm.height; ++y)
    for (std::uint32_t x = 0; x < bm.width; ++x)
      if (bm.get(x, y)) out.set(bm.width - 1 - x, bm.height - 1 - y);
  return out;
}

const Data& data() {
  static const Data d = [] {
    Data out;
    const hv::drawgen::SheetSize e = hv::drawgen::sheetSize('E', 400);
    out.bitmap = hv::drawgen::generateDrawing(e.width, e.height, 400, 1);
    out.pbm = dataPath("e-size-400.pbm");
    out.g4 = dataPath("e-size-400-g4.tif");
    out.g4Strips = dataPath("e-size-400-g4-strips.tif");
    out.g3 = dataPath("e-size-400-g3-1d.tif");
    out.g4UpsideDown = dataPath("e-size-400-g4-upside-down.tif");
    out.g4Wrap = dataPath("e-size-400-g4-wrap.tif");
    hv::drawgen::Bitmap cached;
    const bool fresh = hv::drawgen::readPbm(out.pbm, cached) && cached == out.bitmap &&
                       std::filesystem::exists(out.g4) && std::filesystem::exists(out.g4Strips) &&
                       std::filesystem::exists(out.g3) && std::filesystem::exists(out.g4UpsideDown) &&
                       std::filesystem::exists(out.g4Wrap);
    if (!fresh) {
      // The TIFFs go first so that a run interrupted midway is not taken as
      // complete by the next one.
      writeTiff(out.g4, out.bitmap, COMPRESSION_CCITTFAX4, out.bitmap.height);
      writeTiff(out.g4Strips, out.bitmap, COMPRESSION_CCITTFAX4, kStripRows);
      writeTiff(out.g3, out.bitmap, COMPRESSION_CCITTFAX3, out.bitmap.height);
      writeTiff(out.g4UpsideDown, upsideDown(out.bitmap), COMPRESSION_CCITTFAX4, out.bitmap.height);
      writeWrapTiff(out.g4Wrap, out.g4);
      if (!hv::drawgen::writePbm(out.pbm, out.bitmap)) die("cannot write " + out.pbm);
    }
    return out;
  }();
  return d;
}

}  // namespace

const hv::drawgen::Bitmap& eSizeBitmap() { return data().bitmap; }
const std::string& eSizePbmPath() { return data().pbm; }
const std::string& eSizeG4TiffPath() { return data().g4; }
const std::string& eSizeG4StripsTiffPath() { return data().g4Strips; }
const std::string& eSizeG3TiffPath() { return data().g3; }
const std::string& eSizeUpsideDownG4TiffPath() { return data().g4UpsideDown; }
const std::string& eSizeG4WrapTiffPath() { return data().g4Wrap; }

std::vector<std::uint8_t> readFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) die("cannot read " + path);
  return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
}

}  // namespace hv::bench
