#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "batchprint/host_list.h"
#include "batchprint/net_host.h"
#include "batchprint/print_list.h"
#include "batchprint/remote_submit.h"
#include "tools/hvtool/commands.h"

namespace hv::tool {
namespace {

constexpr const char* kPrintJobsUsage =
    "usage: hvtool print-jobs FILE... --server ADDR [--list-name TEXT] [--copies N] [--plotter N]\n"
    "                         [--size TEXT] [--reserved TEXT] [--dir DIR] [--start [--invert]]\n"
    "Writes one print server job for the FILEs, in order: the header, an image job\n"
    "file per drawing and the trailer, named HHMMSSNN.HDR, .001, ... and .TLR, and\n"
    "the batch print file list (bipXXXXXX) naming them, both in DIR (default: the\n"
    "temporary directory). Prints the list's path. Job files are never replaced:\n"
    "a second job in the same second takes the next free counter NN.\n"
    "  --server ADDR      the print server: a dotted IPv4 address or a host name of\n"
    "                     the host list ($mkhostfile, else /etc/_mkhost.txt)\n"
    "  --list-name TEXT   data list name (default \"Batch Print\"; 12 characters are kept)\n"
    "  --copies N         copies per drawing (default 0)\n"
    "  --plotter N        plotter number (default 0)\n"
    "  --size TEXT        sheet size (default \"A\")\n"
    "  --reserved TEXT    third server parameter passed to tessap\n"
    "  --start            start tessap (beside hvtool, else on PATH) with the list,\n"
    "                     without waiting for it\n"
    "  --invert           tessap prints inverted (\"-i\")\n"
    "A drawing that cannot be read is left out of the job with a message; the exit\n"
    "status is then 1.\n";

bool number(const std::string& text, unsigned& out) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  out = static_cast<unsigned>(std::strtoul(text.c_str(), nullptr, 10));
  return true;
}

}  // namespace

int cmdPrintJobs(const Args& args) {
  if (wantsHelp(args)) {
    std::fputs(kPrintJobsUsage, stdout);
    return 0;
  }
  batchprint::BatchPrintOptions options;
  options.remote = true;
  batchprint::SubmitEnvironment env;
  env.startProgram = false;
  std::vector<std::string> files;
  std::string server;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--server" && hasValue) {
      server = args[++i];
    } else if (a == "--list-name" && hasValue) {
      options.dataListName = args[++i];
    } else if ((a == "--copies" || a == "--plotter") && hasValue) {
      if (!number(args[++i], a == "--copies" ? options.copies : options.plotter)) {
        std::fprintf(stderr, "hvtool print-jobs: %s takes a number\n", a.c_str());
        return 2;
      }
    } else if (a == "--size" && hasValue) {
      options.size = args[++i];
    } else if (a == "--reserved" && hasValue) {
      options.reserved1 = args[++i];
    } else if (a == "--dir" && hasValue) {
      env.listFolder = args[++i];
    } else if (a == "--start") {
      env.startProgram = true;
    } else if (a == "--invert") {
      options.invert = true;
    } else if (!a.empty() && a[0] == '-') {
      std::fprintf(stderr, "hvtool print-jobs: unknown option '%s'\n%s", a.c_str(), kPrintJobsUsage);
      return 2;
    } else {
      files.push_back(a);
    }
  }
  if (files.empty() || server.empty()) {
    std::fputs(kPrintJobsUsage, stderr);
    return 2;
  }
  if (batchprint::ParseAddress(server)) {
    options.serverAddress = server;
  } else {
    batchprint::HostList hosts;
    hosts.loadDefault();
    int at = hosts.find(server);
    if (at < 0) {
      std::fprintf(stderr, "Host name could not be found in hostname list\n");
      return 1;
    }
    options.serverName = server;
    options.serverAddress = hosts.entries()[at].address;
  }

  const batchprint::SubmitResult r = batchprint::submitRemoteJob(files, options, env);
  for (const std::string& f : r.failedImages)
    std::fprintf(stderr, "hvtool print-jobs: %s: %s, left out of the job\n", f.c_str(),
                 batchprint::entryStateText(batchprint::classifyEntry(f)));
  if (!r.ok()) {
    if (!r.message.empty()) std::fprintf(stderr, "%s: %s\n", r.caption.c_str(), r.message.c_str());
    return 1;
  }
  std::printf("%s\n", r.listPath.c_str());
  return r.failedImages.empty() ? 0 : 1;
}

}  // namespace hv::tool
