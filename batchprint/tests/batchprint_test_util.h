#pragma once
// Helpers of the batch printing tests.
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

#include "tests/support/temp_dir.h"

namespace hv::batchprint::test {

// ASCII text translated by a translation that is not ours: Python's cp037
// codec (or iconv's CP037) with the print server's exceptions applied.
// Empty, with reason set, when neither is available.
// Makes a named pipe (makeFifo); appends a DOCFILES.IDX record (addAlias).

inline std::string oracleEbcdic(const std::string& ascii, std::string* reason = nullptr) {
  hv::test::TempDir dir;
  const std::string in = dir.file("in.txt"), out = dir.file("out.bin");
  hv::test::writeFile(in, ascii);
  const std::string script = std::string(HV_SOURCE_DIR) + "/batchprint/tests/cp037_oracle.py";
  if (hv::test::haveProgram("python3") &&
      hv::test::runCommand("python3 '" + script + "' < '" + in + "' > '" + out + "'") == 0)
    return hv::test::readFile(out);
  if (hv::test::haveProgram("iconv") &&
      hv::test::runCommand("iconv -f ASCII -t CP037 < '" + in + "' > '" + out + "' 2>/dev/null") == 0) {
    std::string e = hv::test::readFile(out);
    if (e.size() != ascii.size()) return {};
    for (std::size_t i = 0; i < ascii.size(); ++i) {
      const unsigned char c = static_cast<unsigned char>(ascii[i]);
      if (c == '-') e[i] = '\x6D';
      if (c == '[' || c == ']' || c == '^' || c < 0x20 || c == 0x7F) e[i] = '\x6F';
      if (c == '|') e[i] = '\xFA';
    }
    return e;
  }
  if (reason) *reason = "neither python3 nor iconv can translate to CP037";
  return {};
}

inline void makeFifo(const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << path; }

inline void addAlias(const std::string& folder, const std::string& longName, const std::string& shortName) {
  std::string r(80, '\0');
  r.replace(0, longName.size(), longName);
  r.replace(64, shortName.size(), shortName);
  r[77] = 'W';
  const std::string path = folder + "DOCFILES.IDX";
  ::chmod(path.c_str(), 0644);
  std::string old = hv::test::readFile(path);
  hv::test::writeFile(path, old + r);
}

}  // namespace hv::batchprint::test
