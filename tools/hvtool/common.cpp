#include <cstdio>
#include <string>
#include <unistd.h>

#include "formats/fm_messages.h"
#include "tools/hvtool/commands.h"

namespace hv::tool {

bool wantsHelp(const Args& args) {
  for (const std::string& a : args)
    if (a == "-h" || a == "--help") return true;
  return false;
}

bool checkReadable(const std::string& path) {
  if (::access(path.c_str(), R_OK) == 0) return true;
  hv::formats::report(hv::formats::kWarning, hv::formats::kMsgUnableToOpen, path.c_str());
  return false;
}

void installStderrSink() {
  hv::formats::setMessageSink(
      [](int, const char*, const char* text, void*) {
        std::string t(text);
        while (!t.empty() && (t.back() == '\n' || t.back() == ' ')) t.pop_back();
        std::fprintf(stderr, "%s\n", t.c_str());
      },
      nullptr);
}

}  // namespace hv::tool
