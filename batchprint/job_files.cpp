#include "batchprint/job_files.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

#include "batchprint/ebcdic.h"
#include "batchprint/job_records.h"
#include "batchprint/net_host.h"
#include "batchprint/regular_file.h"
#include "docindex/docfiles_translate.h"
#include "platform/file_io.h"
#include "platform/name_lookup.h"

namespace hv::batchprint {
namespace {

// Image bytes are copied in blocks of this many 512-byte blocks.
constexpr std::size_t kCopyBlock = 512 * 128;

// A new job file, created exclusively; removed again unless committed.
class NewJobFile {
 public:
  explicit NewJobFile(const std::string& path) : path_(path) {
    fd_ = platform::openFile(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0644);
  }
  ~NewJobFile() {
    if (fd_ >= 0) ::close(fd_);
    if (fd_ >= 0 || closeFailed_) ::unlink(path_.c_str());
  }
  bool ok() const { return fd_ >= 0; }
  bool write(const std::string& bytes) { return platform::writeFull(fd_, bytes.data(), bytes.size()); }
  bool write(const char* data, std::size_t n) { return platform::writeFull(fd_, data, n); }
  // Closes and keeps the file; false (file removed) when the close failed.
  bool commit() {
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
      closeFailed_ = true;
      return false;
    }
    return true;
  }

 private:
  std::string path_;
  int fd_ = -1;
  bool closeFailed_ = false;
};

std::tm localNow() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  ::localtime_r(&t, &tm);
  return tm;
}

bool writeRecordFile(const std::string& path, const std::string& ascii) {
  NewJobFile f(path);
  return f.ok() && f.write(toEbcdic(ascii)) && f.commit();
}

}  // namespace

bool writeJobHeaderAt(const std::string& path, const std::string& hostName, std::uint32_t localAddress,
                      std::uint32_t serverAddress, const std::string& dataListName, const std::tm& when) {
  return writeRecordFile(path, headerText(hostName, dataListName, localAddress, serverAddress, when));
}

bool WriteJobHeader(const std::string& path, const std::string& hostName, std::uint32_t serverAddress,
                    const std::string& dataListName) {
  return writeJobHeaderAt(path, hostName, GetLocalAddress(), serverAddress, dataListName, localNow());
}

bool WriteJobImage(int index, const std::string& hostName, const std::string& imagePath,
                   const std::string& jobFilePath, unsigned copies, unsigned plotter, const std::string& size,
                   const std::string& listName) {
  std::string source = imagePath;
  if (auto t = docindex::translateToShort(imagePath); t && !t->path.empty()) source = t->path;
  int in = openRegularFile(source);
  if (in < 0) return false;
  std::unique_ptr<int, void (*)(int*)> closer(&in, [](int* fd) { platform::closeFile(*fd); });

  NewJobFile out(jobFilePath);
  if (!out.ok()) return false;
  ImageRecordFields fields{copies, plotter, size, hostName, listName, index};
  if (!out.write(toEbcdic(imageRecordText(fields)))) return false;
  std::vector<char> block(kCopyBlock);
  for (;;) {
    long got = platform::readFull(in, block.data(), block.size());
    if (got < 0) return false;
    if (got == 0) break;
    if (!out.write(block.data(), static_cast<std::size_t>(got))) return false;
  }
  return out.commit();
}

bool WriteJobTrailer(const std::string& path, int count) { return writeRecordFile(path, trailerText(count)); }

std::string jobBaseName(const std::string& folder, const std::tm& when) {
  const std::string dir = platform::withTrailingSlash(folder);
  // Counters used by files already in the folder ("HHMMSSNN.").
  char stem[40];
  std::snprintf(stem, sizeof stem, "%02d%02d%02d", when.tm_hour % 100, when.tm_min % 100, when.tm_sec % 100);
  bool used[100] = {};
  if (DIR* d = ::opendir(dir.c_str())) {
    while (dirent* e = ::readdir(d)) {
      std::string_view name(e->d_name);
      if (name.size() < 9 || name.substr(0, 6) != stem || name[8] != '.') continue;
      if (name[6] < '0' || name[6] > '9' || name[7] < '0' || name[7] > '9') continue;
      used[(name[6] - '0') * 10 + (name[7] - '0')] = true;
    }
    ::closedir(d);
  }
  for (int n = 0; n < 100; ++n) {
    if (used[n]) continue;
    char counter[16];
    std::snprintf(counter, sizeof counter, "%02d.", n);
    return dir + stem + counter;
  }
  return {};
}

std::string headerFileName(const std::string& base) { return base + "HDR"; }

std::string imageFileName(const std::string& base, int sequence) {
  char ext[16];
  std::snprintf(ext, sizeof ext, "%03d", sequence);
  return base + ext;
}

std::string trailerFileName(const std::string& base) { return base + "TLR"; }

}  // namespace hv::batchprint
