#pragma once
// A private scratch folder for the file-reading fuzz targets (on /dev/shm
// when present, so that the rewrites' flushes stay cheap), removed at exit.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace hv::fuzz {

inline const std::string& scratchDir() {
  // Never destroyed: the exit handler below still needs it.
  static const std::string* dir = new std::string([] {
    std::string base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    std::string tmpl = base + "/hvfuzz.XXXXXX";
    if (::mkdtemp(tmpl.data()) == nullptr) std::abort();
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(scratchDir(), ec);
    });
    return tmpl + "/";
  }());
  return *dir;
}

// Empties the scratch folder and writes one file into it.
inline void putFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(scratchDir(), ec))
    std::filesystem::remove_all(e.path(), ec);
  std::ofstream out(scratchDir() + name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace hv::fuzz
