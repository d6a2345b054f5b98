#include "tests/peers/peer_fixture.h"

#include <fstream>
#include <map>
#include <memory>

namespace hv::peers {

namespace {

// One scratch directory per test process.
const test::TempDir& workDir() {
  static const test::TempDir dir;
  return dir;
}

std::string quoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string replaceAll(std::string s, const std::string& key, const std::string& value) {
  for (std::size_t at = s.find(key); at != std::string::npos; at = s.find(key, at + value.size()))
    s.replace(at, key.size(), value);
  return s;
}

// Runs a shell command with its output going to a log; returns "" when it
// exits 0, else the log's text.
std::string run(const std::string& command, const std::string& log) {
  const int rc = test::runCommand("( " + command + " ) >" + quoted(log) + " 2>&1");
  if (rc == 0) return {};
  return "command failed (exit " + std::to_string(rc) + "): " + command + "\n" +
         test::readFile(log);
}

// Debian's ImageMagick policy refuses pictures over 16K pixels wide or high
// and, through its area and memory limits, large sheets. A policy.xml in a
// directory named by MAGICK_CONFIGURE_PATH is read first and its limits hold
// for that process (-limit can only lower the system's limits, not raise them).
std::string magickEnv() {
  static const std::string env = [] {
    const std::string dir = workDir().file("magick/");
    test::runCommand("mkdir -p " + quoted(dir));
    test::writeFile(dir + "policy.xml",
                    "<policymap>\n"
                    "  <policy domain=\"resource\" name=\"width\" value=\"128KP\"/>\n"
                    "  <policy domain=\"resource\" name=\"height\" value=\"128KP\"/>\n"
                    "  <policy domain=\"resource\" name=\"area\" value=\"2GP\"/>\n"
                    "  <policy domain=\"resource\" name=\"memory\" value=\"2GiB\"/>\n"
                    "  <policy domain=\"resource\" name=\"map\" value=\"4GiB\"/>\n"
                    "  <policy domain=\"resource\" name=\"disk\" value=\"16GiB\"/>\n"
                    "</policymap>\n");
    return "MAGICK_CONFIGURE_PATH=" + quoted(dir);
  }();
  return env;
}

const char* drawingName(Drawing d) {
  switch (d) {
    case Drawing::Sheet: return "sheet";
    case Drawing::Odd: return "odd";
    case Drawing::Fax: return "fax";
    case Drawing::Wide: return "wide";
  }
  return "?";
}

std::vector<Variant> buildVariants() {
  std::vector<Variant> out;
  const std::vector<std::string> tiffTools{"pnmtotiff", "tiffcp", "tifftopnm"};
  // tiffcp re-encodes the min-is-white uncompressed base TIFF.
  const std::pair<const char*, const char*> tiffcpCases[] = {
      {"g3_1d", "-c g3:1d"},
      {"g3_1d_fill", "-c g3:1d:fill"},
      {"g3_2d", "-c g3:2d"},
      {"g3_2d_fill", "-c g3:2d:fill"},
      {"g4", "-c g4"},
      {"packbits", "-c packbits"},
      {"none", "-c none"},
      {"lsb2msb_g4", "-f lsb2msb -c g4"},
      {"lsb2msb_g3_1d", "-f lsb2msb -c g3:1d"},
      {"lsb2msb_none", "-f lsb2msb -c none"},
      {"bigendian_g4", "-B -c g4"},
      {"bigendian_g3_2d", "-B -c g3:2d"},
      {"tiled_g4", "-t -w 512 -l 512 -c g4"},
      {"tiled_none", "-t -w 512 -l 512 -c none"},
      {"strips64_g4", "-r 64 -c g4"},
      {"strips64_g3_2d", "-r 64 -c g3:2d"},
  };
  for (Drawing d : {Drawing::Sheet, Drawing::Odd}) {
    const std::string sfx = std::string("_") + drawingName(d);
    for (const auto& [name, args] : tiffcpCases)
      out.push_back({name + sfx, d, std::string("tiffcp ") + args + " {base} {out}", ".tif",
                     Expect::Same, tiffTools});
    // Min-is-black with the data inverted by pnmtotiff: the same picture.
    for (const char* c : {"g4", "g3_1d", "none"}) {
      std::string codec = c;
      if (codec == "g3_1d") codec = "g3:1d";
      out.push_back({std::string("minisblack_") + c + sfx, d,
                     "pnmtotiff -minisblack {in} > {tmp}.tif && tiffcp -c " + codec + " {tmp}.tif {out}",
                     ".tif", Expect::Same, tiffTools});
    }
    // Min-is-black by relabelling a min-is-white file: the coded bits are
    // unchanged, so tifftopnm (which applies PhotometricInterpretation and
    // writes the picture as displayed, 1 = black) shows the negative.
    for (const char* c : {"g4", "none"})
      out.push_back({std::string("minisblack_relabelled_") + c + sfx, d,
                     std::string("tiffcp -c ") + c + " {base} {out} && tiffset -s 262 1 {out}",
                     ".tif", Expect::Inverted,
                     {"pnmtotiff", "tiffcp", "tiffset", "tifftopnm"}});
    out.push_back({"cals" + sfx, d, "tiffcp -c g4 {base} {tmp}.tif && {magick} convert {tmp}.tif {out}",
                   ".cal", Expect::Same, {"pnmtotiff", "tiffcp", "convert"}});
  }
  // Raw fax pages: pbmtog3 (netpbm) writes one-dimensional T.4 with an EOL
  // before every line, MSB first; fax2tiff wraps them into TIFF Class F in
  // the codings its options select.
  const std::pair<const char*, const char*> faxCases[] = {
      {"fax2tiff_g3_2d", "-M"},
      {"fax2tiff_g3_1d", "-M -5"},
      {"fax2tiff_g3_1d_unaligned", "-M -5 -p"},
      {"fax2tiff_g4", "-M -8 -m"},
  };
  for (const auto& [name, args] : faxCases)
    out.push_back({name, Drawing::Fax,
                   std::string("pbmtog3 {in} > {tmp}.g3 && fax2tiff ") + args + " -o {out} {tmp}.g3",
                   ".tif", Expect::FaxTrailer, {"pbmtog3", "fax2tiff", "tifftopnm"}});
  out.push_back({"g4_wide", Drawing::Wide, "tiffcp -c g4 {base} {out}", ".tif", Expect::Same,
                 tiffTools});
  out.push_back({"cals_wide", Drawing::Wide,
                 "tiffcp -c g4 {base} {tmp}.tif && {magick} convert {tmp}.tif {out}", ".cal",
                 Expect::Same, {"pnmtotiff", "tiffcp", "convert"}});
  return out;
}

std::string drawingPbm(Drawing d) {
  static std::map<Drawing, std::string> made;
  auto it = made.find(d);
  if (it != made.end()) return it->second;
  const std::string path = workDir().file(std::string(drawingName(d)) + ".pbm");
  if (!drawgen::writePbm(path, drawing(d))) return {};
  return made[d] = path;
}

}  // namespace

const std::vector<Variant>& allVariants() {
  static const std::vector<Variant> variants = buildVariants();
  return variants;
}

const Variant* findVariant(const std::string& name) {
  for (const Variant& v : allVariants())
    if (v.name == name) return &v;
  return nullptr;
}

std::string missingProgram(const std::vector<std::string>& programs) {
  for (const std::string& p : programs)
    if (!test::haveProgram(p)) return p;
  return {};
}

namespace {
std::unique_ptr<Bitmap> generated(std::uint32_t w, std::uint32_t h, std::uint32_t dpi,
                                  std::uint64_t seed) {
  return std::make_unique<Bitmap>(drawgen::generateDrawing(w, h, dpi, seed));
}
}  // namespace

const Bitmap& drawing(Drawing which) {
  static std::map<Drawing, std::unique_ptr<Bitmap>> made;
  auto& slot = made[which];
  if (!slot) {
    switch (which) {
      case Drawing::Sheet: slot = generated(1700, 1100, 200, 11); break;
      case Drawing::Odd: slot = generated(1001, 777, 200, 12); break;
      case Drawing::Fax: slot = generated(1728, 2200, 200, 13); break;
      case Drawing::Wide: slot = generated(17000, 500, 400, 14); break;
    }
  }
  return *slot;
}

Bitmap inverted(const Bitmap& bm) {
  Bitmap out = bm;
  for (std::uint8_t& b : out.bits) b = std::uint8_t(~b);
  if (bm.width % 8)
    for (std::uint32_t y = 0; y < out.height; ++y)
      out.row(y)[out.stride - 1] &= std::uint8_t(0xFF00u >> (bm.width % 8));
  return out;
}

Bitmap expectedPicture(const Variant& v) {
  const Bitmap& d = drawing(v.drawing);
  switch (v.expect) {
    case Expect::Same: return d;
    case Expect::Inverted: return inverted(d);
    case Expect::FaxTrailer: {
      // pbmtog3 ends the page with RTC, six EOL codes in a row, and fax2tiff
      // counts each of them as a further (white) line: ImageLength is the
      // drawing's height plus 6.
      Bitmap out(d.width, d.height + 6);
      std::copy(d.bits.begin(), d.bits.end(), out.bits.begin());
      return out;
    }
  }
  return d;
}

std::string makeVariant(const Variant& v, std::string& error) {
  static std::map<std::string, std::string> made;
  auto it = made.find(v.name);
  if (it != made.end()) return it->second;
  error.clear();
  const std::string in = drawingPbm(v.drawing);
  if (in.empty()) {
    error = "cannot write the drawing's PBM";
    return {};
  }
  const std::string base = workDir().file(std::string(drawingName(v.drawing)) + "-base.tif");
  const std::string log = workDir().file(v.name + ".log");
  if (v.recipe.find("{base}") != std::string::npos) {
    std::ifstream probe(base);
    if (!probe) {
      error = run("pnmtotiff -miniswhite " + quoted(in) + " > " + quoted(base), log);
      if (!error.empty()) return {};
    }
  }
  const std::string out = workDir().file(v.name + v.outExt);
  std::string cmd = v.recipe;
  cmd = replaceAll(cmd, "{in}", quoted(in));
  cmd = replaceAll(cmd, "{base}", quoted(base));
  cmd = replaceAll(cmd, "{out}", quoted(out));
  cmd = replaceAll(cmd, "{tmp}", quoted(workDir().file(v.name + "-tmp")));
  cmd = replaceAll(cmd, "{magick}", magickEnv());
  error = run(cmd, log);
  if (!error.empty()) return {};
  return made[v.name] = out;
}

std::string decodeWithPeer(const std::string& path, Bitmap& out) {
  static int counter = 0;
  const std::string pbm = workDir().file("peer-" + std::to_string(++counter) + ".pbm");
  const std::string head = test::readFile(path).substr(0, 4);
  const bool tiff = head == std::string("II*\0", 4) || head == std::string("MM\0*", 4);
  const std::string cmd = tiff ? "tifftopnm " + quoted(path) + " > " + quoted(pbm)
                               : magickEnv() + " convert " + quoted(path) + " " + quoted(pbm);
  std::string error = run(cmd, pbm + ".log");
  if (!error.empty()) return error;
  if (!drawgen::readPbm(pbm, out)) return "the peer's output is not a PBM: " + pbm;
  return {};
}

std::string hvgenPath() { return HVGEN_PATH; }

std::string hvtoolPath() {
#ifdef HVTOOL_PATH
  return HVTOOL_PATH;
#else
  return {};
#endif
}

std::string decodeWithHvtool(const std::string& path, Bitmap& out) {
  static int counter = 0;
  const std::string tool = hvtoolPath();
  if (tool.empty()) return "hvtool is not built";
  const std::string pbm = workDir().file("hvtool-" + std::to_string(++counter) + ".pbm");
  std::string error = run(quoted(tool) + " decode " + quoted(path) + " " + quoted(pbm), pbm + ".log");
  if (!error.empty()) return error;
  if (!drawgen::readPbm(pbm, out)) return "hvtool's output is not a PBM: " + pbm;
  return {};
}

}  // namespace hv::peers
