#pragma once
// Files made by the peer programs from generated drawings, and decoding with
// the peers and with hvtool, for pixel-exact comparisons.
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tools/drawgen/drawgen.h"

namespace hv::peers {

using drawgen::Bitmap;

// The generated drawings the variants are made from.
enum class Drawing {
  Sheet,  // 1700 x 1100 at 200 dpi (a B-size sheet at 100 dpi in pixels)
  Odd,    // 1001 x 777: width not a multiple of 8 or of any tile
  Fax,    // 1728 x 2200: a fine-mode fax page
  Wide,   // 17000 x 500 at 400 dpi: wider than ImageMagick's default 16K limit
};

// How the peer shows the variant relative to the generated drawing.
enum class Expect {
  Same,          // exactly the generated drawing
  Inverted,      // every pixel inverted
  FaxTrailer,    // the drawing followed by 6 white rows (see peer_fixture.cpp)
};

struct Variant {
  std::string name;     // test name, e.g. "g4_odd"
  Drawing drawing;
  std::string recipe;   // shell commands; {in} = drawing PBM, {base} = min-is-white
                        // uncompressed TIFF of it, {out} = the file to make
  std::string outExt;   // ".tif" or ".cal"
  Expect expect;
  std::vector<std::string> programs;  // peers the recipe and the peer decode need
};

// Every variant the peer tests cover.
const std::vector<Variant>& allVariants();
const Variant* findVariant(const std::string& name);

// First program of `programs` missing from PATH, or "" when all are there.
std::string missingProgram(const std::vector<std::string>& programs);

// The generated drawing, built once per process.
const Bitmap& drawing(Drawing which);
// What the peer should show for `v`.
Bitmap expectedPicture(const Variant& v);

// Makes the variant's file (once per process) and returns its path; on
// failure returns "" and puts the commands' output in `error`.
std::string makeVariant(const Variant& v, std::string& error);

// Decodes a TIFF with tifftopnm or a CALS file with ImageMagick's convert
// (under a private policy that admits wide sheets). Returns "" or an error.
std::string decodeWithPeer(const std::string& path, Bitmap& out);
// Runs `hvtool decode FILE OUT.pbm` and reads its PBM. Returns "" or an error.
std::string decodeWithHvtool(const std::string& path, Bitmap& out);
// The generator's command-line front end.
std::string hvgenPath();
// Path of hvtool when the build has it, else "".
std::string hvtoolPath();

Bitmap inverted(const Bitmap& bm);

}  // namespace hv::peers
