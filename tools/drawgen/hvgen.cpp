// hvgen: writes a generated engineering drawing as a binary PBM.
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "tools/drawgen/drawgen.h"

namespace {

constexpr const char* kUsage =
    "Usage: hvgen [--sheet A|B|C|D|E | --size WxH] [--dpi N] [--seed S] OUT.pbm\n"
    "Writes a generated engineering drawing as a binary PBM (P4).\n"
    "  --sheet L   landscape ANSI sheet size A to E (default D)\n"
    "  --size WxH  width and height in pixels instead of a sheet size\n"
    "  --dpi N     resolution in dots per inch (default 200)\n"
    "  --seed S    picks the content; equal arguments give equal pixels (default 1)\n";

template <class T>
bool parseNumber(std::string_view s, T& out) {
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && end == s.data() + s.size();
}

int fail(const std::string& msg) {
  std::fprintf(stderr, "hvgen: %s\n%s", msg.c_str(), kUsage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  char sheet = 'D';
  std::uint32_t width = 0, height = 0, dpi = 200;
  std::uint64_t seed = 1;
  bool haveSize = false;
  std::string out;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--sheet" && hasValue) {
      const std::string_view v = argv[++i];
      if (v.size() != 1 || hv::drawgen::sheetSize(v[0], 1).width == 0)
        return fail("unknown sheet size '" + std::string(v) + "'");
      sheet = v[0];
      haveSize = false;
    } else if (arg == "--size" && hasValue) {
      const std::string_view v = argv[++i];
      const std::size_t x = v.find_first_of("xX");
      if (x == std::string_view::npos || !parseNumber(v.substr(0, x), width) ||
          !parseNumber(v.substr(x + 1), height) || width == 0 || height == 0)
        return fail("bad size '" + std::string(v) + "' (expected WxH)");
      haveSize = true;
    } else if (arg == "--dpi" && hasValue) {
      if (!parseNumber(std::string_view(argv[++i]), dpi) || dpi == 0 || dpi > 10000)
        return fail("bad resolution '" + std::string(argv[i]) + "'");
    } else if (arg == "--seed" && hasValue) {
      if (!parseNumber(std::string_view(argv[++i]), seed))
        return fail("bad seed '" + std::string(argv[i]) + "'");
    } else if (!arg.empty() && arg[0] == '-') {
      return fail("unknown or incomplete option '" + std::string(arg) + "'");
    } else if (out.empty()) {
      out = arg;
    } else {
      return fail("more than one output file");
    }
  }
  if (out.empty()) return fail("no output file");
  if (!haveSize) {
    const hv::drawgen::SheetSize s = hv::drawgen::sheetSize(sheet, dpi);
    width = s.width;
    height = s.height;
  }
  // A packed bitmap above 4 GiB is beyond any sheet this tool is meant for.
  if (std::uint64_t(width + 7) / 8 * height > (std::uint64_t(1) << 32))
    return fail("picture too large");
  const hv::drawgen::Bitmap bm = hv::drawgen::generateDrawing(width, height, dpi, seed);
  if (!hv::drawgen::writePbm(out, bm)) {
    std::fprintf(stderr, "hvgen: cannot write %s: %s\n", out.c_str(), std::strerror(errno));
    return 1;
  }
  return 0;
}
