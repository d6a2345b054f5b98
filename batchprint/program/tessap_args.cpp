// The batch print program's command line (see tessap_args.h).
#include "batchprint/program/tessap_args.h"

#include <cctype>

namespace hv::tessap {
namespace {

std::vector<std::string> words(const std::string& text) {
  std::vector<std::string> out;
  for (std::size_t at = text.find_first_not_of(' '); at != std::string::npos;) {
    std::size_t end = text.find(' ', at);
    out.push_back(text.substr(at, end - at));
    at = end == std::string::npos ? end : text.find_first_not_of(' ', end);
  }
  return out;
}

void setServer(Arguments& out, const std::string& value) {
  out.haveServer = true;
  const std::size_t c1 = value.find(',');
  const std::size_t c2 = c1 == std::string::npos ? c1 : value.find(',', c1 + 1);
  out.serverAddress = value.substr(0, c1);
  out.serverHost = c1 == std::string::npos ? "" : value.substr(c1 + 1, c2 == std::string::npos ? c2 : c2 - c1 - 1);
  out.serverThird = c2 == std::string::npos ? "" : value.substr(c2 + 1);
}

}  // namespace

Arguments parseArguments(const std::vector<std::string>& args) {
  Arguments out;
  for (std::size_t i = 0; i < args.size(); ++i) {
    // Only an argument that starts with an option holds options; a path
    // that merely contains "-b" is not one.
    const std::vector<std::string> w = words(args[i]);
    if (w.empty() || w[0][0] != '-') continue;
    for (std::size_t k = 0; k < w.size(); ++k) {
      const std::string& word = w[k];
      if (word.size() < 2 || word[0] != '-') continue;
      const char letter = char(std::tolower(static_cast<unsigned char>(word[1])));
      if (letter == '?') out.showOptions = true;
      if (letter == 'i') out.invert = true;
      if (letter != 'b' && letter != 'p') continue;
      std::string value = word.substr(2);
      if (value.empty() && k + 1 < w.size()) value = w[++k];
      else if (value.empty() && k + 1 == w.size() && i + 1 < args.size()) value = args[++i];
      if (letter == 'b') {
        out.haveList = !value.empty();
        out.listPath = value;
      } else {
        setServer(out, value);
      }
      if (k + 1 == w.size()) break;
    }
  }
  return out;
}

}  // namespace hv::tessap
