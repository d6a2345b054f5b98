#include "batchprint/print_options.h"

#include <cstdlib>

namespace hv::batchprint {

std::string defaultDirectory() {
  const char* home = std::getenv("HOME");
  std::string dir = home != nullptr && home[0] != '\0' ? home : "/";
  if (dir.back() != '/') dir.push_back('/');
  return dir;
}

}  // namespace hv::batchprint
