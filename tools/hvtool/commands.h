#pragma once
// The commands of hvtool. Each takes the arguments after its name and
// returns the process exit status.
#include <string>
#include <vector>

namespace hv::tool {

using Args = std::vector<std::string>;

int cmdIdentify(const Args& args);
int cmdInfo(const Args& args);
int cmdDecode(const Args& args);
int cmdRender(const Args& args);
int cmdConvert(const Args& args);
int cmdPrintJobs(const Args& args);

// True when args ask for help (-h or --help).
bool wantsHelp(const Args& args);

// Reports "Unable to open" for a file that cannot be read (identification
// alone would only call it of unknown type).
bool checkReadable(const std::string& path);

// Installs the file manager message sink that writes to standard error.
void installStderrSink();

}  // namespace hv::tool
