// hvtool: the command-line companion of the drawing viewer.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/hvtool/cmd_records.h"
#include "tools/hvtool/commands.h"

namespace {

constexpr const char* kUsage =
    "usage: hvtool COMMAND [ARGS...]\n"
    "\n"
    "Commands:\n"
    "  identify FILE...      show each file's document type, filter, compression and header offset\n"
    "  info FILE             show the fields of the file's information dialog\n"
    "  decode FILE OUT.pbm   decode the drawing into a binary PBM (1 = black as shown)\n"
    "  records DIR           list the folder's INDEX.HOL, JMX.HOL and DOCFILES.IDX records\n"
    "  render FILE OUT       write what a window shows of the drawing (PBM or PNG): fitted,\n"
    "                        at a scale, rotated, inverted, from the file or image memory\n"
    "  convert IN OUT --to CODE [--align-width 8|16] [--align-height 8|16] [--settings FILE] [--1840b]\n"
    "                        save the drawing in another image format (TIFFGP4, CAL1GP4, ...)\n"
    "  print-jobs FILE... --server ADDR [--start [--invert]] [...]\n"
    "                        write a print server job of the drawings and its batch print list\n"
    "\n"
    "Run 'hvtool COMMAND --help' for a command's options.\n";

struct Command {
  const char* name;
  int (*run)(const hv::tool::Args&);
};

constexpr Command kCommands[] = {
    {"identify", hv::tool::cmdIdentify},
    {"info", hv::tool::cmdInfo},
    {"decode", hv::tool::cmdDecode},
    {"records", hvtoolRecords},
    {"render", hv::tool::cmdRender},
    {"convert", hv::tool::cmdConvert},
    {"print-jobs", hv::tool::cmdPrintJobs},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    std::fputs(kUsage, argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  hv::tool::installStderrSink();
  hv::tool::Args args(argv + 2, argv + argc);
  for (const Command& c : kCommands)
    if (std::strcmp(argv[1], c.name) == 0) return c.run(args);
  std::fprintf(stderr, "hvtool: unknown command '%s'\n%s", argv[1], kUsage);
  return 2;
}
