#pragma once
// Hand-built DOCFILES.IDX records for the tests.
#include <string>

namespace hv::docindex::test {

// The 80 bytes of a record exactly as the layout prescribes.
inline std::string rawRecord(const std::string& longName, const std::string& shortName, char access,
                             char prev = '\0', char prevPrev = '\0') {
  std::string r(80, '\0');
  r.replace(0, std::min<std::size_t>(longName.size(), 64), longName.substr(0, 64));
  r.replace(64, std::min<std::size_t>(shortName.size(), 13), shortName.substr(0, 13));
  r[77] = access;
  r[78] = prev;
  r[79] = prevPrev;
  return r;
}

}  // namespace hv::docindex::test
