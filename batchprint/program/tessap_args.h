#pragma once
// The batch print program's command line.
#include <string>
#include <vector>

namespace hv::tessap {

struct Arguments {
  bool showOptions = false;  // "-?"
  bool haveList = false;     // "-b" was given
  std::string listPath;      // the batch print file list
  bool invert = false;       // "-i": every image printed inverted
  bool haveServer = false;   // "-p" was given
  std::string serverAddress, serverHost, serverThird;
};

// Options start with "-" and their letters are case-insensitive; other text
// is skipped. An option's value is the rest of its own argument (leading
// blanks skipped, up to the next blank, as in a single command string) or,
// when that is empty, the whole next argument (a path with blanks). "-p"
// splits its value at the first two commas.
Arguments parseArguments(const std::vector<std::string>& arguments);

// The text "-?" shows.
inline constexpr const char* kCompiledOptions = "I was compiled with these options:  [USELONGNAMES] [NDEBUG] ";

}  // namespace hv::tessap
