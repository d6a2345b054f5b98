#include <cstdio>
#include <string>

#include "formats/fm_messages.h"
#include "tools/hvtool/commands.h"

namespace hv::tool {

bool wantsHelp(const Args& args) {
  for (const std::string& a : args)
    if (a == "-h" || a == "--help") return true;
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
