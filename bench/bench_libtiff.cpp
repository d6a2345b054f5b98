// The reference figures: libtiff decoding and encoding the E-size drawing.
// Every benchmark in hvbench reports items = pixels and bytes = packed bitmap
// bytes (17600 x 13600 pixels, 29.9 MB per sheet), plus a lines/s counter, so
// the engine's figures compare directly with these.
#include <benchmark/benchmark.h>
#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "bench/bench_data.h"

namespace {

using hv::bench::eSizeBitmap;

void reportSheets(benchmark::State& state, const hv::drawgen::Bitmap& bm) {
  const auto sheets = std::int64_t(state.iterations());
  state.SetItemsProcessed(sheets * std::int64_t(bm.width) * bm.height);
  state.SetBytesProcessed(sheets * std::int64_t(bm.bits.size()));
  state.counters["lines/s"] =
      benchmark::Counter(double(sheets) * bm.height, benchmark::Counter::kIsRate);
}

// Decodes every strip of a TIFF opened once outside the timing loop; libtiff
// maps the file, so the timed part is the strip decode into the bitmap.
void decodeStrips(benchmark::State& state, const std::string& path) {
  const hv::drawgen::Bitmap& bm = eSizeBitmap();
  TIFF* tif = TIFFOpen(path.c_str(), "r");
  if (tif == nullptr) {
    state.SkipWithError("libtiff cannot open the benchmark TIFF");
    return;
  }
  std::vector<std::uint8_t> out(bm.bits.size());
  const tstrip_t strips = TIFFNumberOfStrips(tif);
  bool ok = true;
  for (auto _ : state) {
    std::uint8_t* dst = out.data();
    for (tstrip_t s = 0; s < strips; ++s) {
      const tmsize_t got = TIFFReadEncodedStrip(tif, s, dst, tmsize_t(out.data() + out.size() - dst));
      if (got < 0) {
        ok = false;
        break;
      }
      dst += got;
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  TIFFClose(tif);
  if (!ok || out != bm.bits) {
    state.SkipWithError("libtiff's decode differs from the generated drawing");
    return;
  }
  reportSheets(state, bm);
}

void BM_Libtiff_G4_DecodeStrip(benchmark::State& state) {
  decodeStrips(state, hv::bench::eSizeG4TiffPath());
}
BENCHMARK(BM_Libtiff_G4_DecodeStrip)->Unit(benchmark::kMillisecond);

void BM_Libtiff_G4_DecodeStrips256(benchmark::State& state) {
  decodeStrips(state, hv::bench::eSizeG4StripsTiffPath());
}
BENCHMARK(BM_Libtiff_G4_DecodeStrips256)->Unit(benchmark::kMillisecond);

void BM_Libtiff_G3_1D_DecodeStrip(benchmark::State& state) {
  decodeStrips(state, hv::bench::eSizeG3TiffPath());
}
BENCHMARK(BM_Libtiff_G3_1D_DecodeStrip)->Unit(benchmark::kMillisecond);

// A growable in-memory file for libtiff, so encoding is not measured against
// the disk.
struct MemFile {
  std::vector<std::uint8_t> bytes;
  std::uint64_t pos = 0;
};

tmsize_t memRead(thandle_t h, void* buf, tmsize_t n) {
  auto* f = static_cast<MemFile*>(h);
  if (f->pos >= f->bytes.size()) return 0;
  const tmsize_t got = std::min<tmsize_t>(n, tmsize_t(f->bytes.size() - f->pos));
  std::memcpy(buf, f->bytes.data() + f->pos, std::size_t(got));
  f->pos += std::uint64_t(got);
  return got;
}
tmsize_t memWrite(thandle_t h, void* buf, tmsize_t n) {
  auto* f = static_cast<MemFile*>(h);
  if (f->pos + std::uint64_t(n) > f->bytes.size()) f->bytes.resize(f->pos + std::uint64_t(n));
  std::memcpy(f->bytes.data() + f->pos, buf, std::size_t(n));
  f->pos += std::uint64_t(n);
  return n;
}
toff_t memSeek(thandle_t h, toff_t off, int whence) {
  auto* f = static_cast<MemFile*>(h);
  std::uint64_t base = whence == SEEK_CUR ? f->pos : whence == SEEK_END ? f->bytes.size() : 0;
  f->pos = base + off;
  return f->pos;
}
int memClose(thandle_t) { return 0; }
toff_t memSize(thandle_t h) { return static_cast<MemFile*>(h)->bytes.size(); }
int memMap(thandle_t, void**, toff_t*) { return 0; }
void memUnmap(thandle_t, void*, toff_t) {}

// Encodes the whole sheet as one strip into memory: open, tags, strip, close.
void encodeStrip(benchmark::State& state, int compression) {
  const hv::drawgen::Bitmap& bm = eSizeBitmap();
  std::vector<std::uint8_t> bits = bm.bits;
  MemFile file;
  file.bytes.reserve(bm.bits.size() / 4);
  for (auto _ : state) {
    file.bytes.clear();
    file.pos = 0;
    TIFF* tif = TIFFClientOpen("memory", "w", &file, memRead, memWrite, memSeek, memClose,
                               memSize, memMap, memUnmap);
    if (tif == nullptr) {
      state.SkipWithError("libtiff cannot open a memory file");
      return;
    }
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, bm.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, bm.height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
    if (compression == COMPRESSION_CCITTFAX3) TIFFSetField(tif, TIFFTAG_GROUP3OPTIONS, 0);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, bm.height);
    const bool ok = TIFFWriteEncodedStrip(tif, 0, bits.data(), tmsize_t(bits.size())) >= 0;
    TIFFClose(tif);
    if (!ok) {
      state.SkipWithError("libtiff failed to encode");
      return;
    }
    benchmark::DoNotOptimize(file.bytes.data());
  }
  reportSheets(state, bm);
  state.counters["coded_bytes"] = double(file.bytes.size());
}

void BM_Libtiff_G4_EncodeStrip(benchmark::State& state) {
  encodeStrip(state, COMPRESSION_CCITTFAX4);
}
BENCHMARK(BM_Libtiff_G4_EncodeStrip)->Unit(benchmark::kMillisecond);

void BM_Libtiff_G3_1D_EncodeStrip(benchmark::State& state) {
  encodeStrip(state, COMPRESSION_CCITTFAX3);
}
BENCHMARK(BM_Libtiff_G3_1D_EncodeStrip)->Unit(benchmark::kMillisecond);

}  // namespace
