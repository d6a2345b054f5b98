#include "records/qa_status.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_delete.h"
#include "platform/file_io.h"
#include "platform/name_lookup.h"

namespace hv::records {
namespace {

constexpr char kIndexQad[] = "INDEX.QAD";
constexpr char kComplete[] = "COMPLETE.QA";
constexpr char kUpload[] = "UPLOAD.QA";
constexpr char kWaitXlat[] = "WAITXLAT.QA";

bool writable(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  return (st.st_mode & 0222) != 0 && ::access(path.c_str(), W_OK) == 0;
}

bool hasPrefixIgnoringCase(const std::string& name, const char* prefix) {
  const std::string p = prefix;
  return name.size() >= p.size() && platform::equalsIgnoringCase(name.substr(0, p.size()), p);
}

bool hasSuffixIgnoringCase(const std::string& name, const char* suffix) {
  const std::string s = suffix;
  return name.size() >= s.size() && platform::equalsIgnoringCase(name.substr(name.size() - s.size()), s);
}

bool makeReadOnly(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return true;  // only regular files
  return ::chmod(path.c_str(), st.st_mode & 07555) == 0;
}

}  // namespace

std::string directoryOfPath(const std::string& path) {
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return "./";
  std::string dir;
  for (std::size_t i = 0; i <= slash; ++i)
    if (path[i] != '/' || dir.empty() || dir.back() != '/') dir.push_back(path[i]);
  return dir;
}

bool jobFolderEditable(const std::string& imagePath, bool* waitingForTranslation) {
  if (waitingForTranslation != nullptr) *waitingForTranslation = false;
  const std::string dir = directoryOfPath(imagePath);
  const bool canWrite = writable(imagePath);
  const bool complete = platform::fixedNameExists(dir, kComplete);
  const bool upload = platform::fixedNameExists(dir, kUpload);
  const bool waiting = platform::fixedNameExists(dir, kWaitXlat);
  if (canWrite && !complete && !upload && !waiting) return true;
  if (waitingForTranslation != nullptr) *waitingForTranslation = canWrite && !complete && !upload && waiting;
  return false;
}

bool isQaLocked(long recordIndex, const std::string& indexDirectory, const std::string& imagePath) {
  if (recordIndex != -1 && platform::fixedNameExists(platform::withTrailingSlash(indexDirectory), kIndexQad))
    return true;
  if (!imagePath.empty()) return !jobFolderEditable(imagePath, nullptr);
  return false;
}

Status markQaComplete(const std::string& folder) {
  const std::string dir = platform::withTrailingSlash(folder);
  bool ok = true;
  if (!platform::fixedNameExists(dir, kComplete)) {
    const std::string marker = dir + kComplete;
    int fd = platform::openFile(marker.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    ok = fd >= 0 && ::close(fd) == 0;
  }
  DIR* d = ::opendir(dir.c_str());
  if (d == nullptr) return Status::ReadFailed;
  while (dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (hasPrefixIgnoringCase(name, "OPTI") || hasSuffixIgnoringCase(name, ".HOL"))
      ok = makeReadOnly(dir + name) && ok;
  }
  ::closedir(d);
  return ok ? Status::Ok : Status::WriteFailed;
}

Status cleanupFolder(const std::string& folder, StatusSink& sink) {
  const std::string dir = platform::withTrailingSlash(folder);
  bool ok = true;
  for (const char* pattern : {"*.OVL", "*.BAK", "*.TG4"}) {
    const std::string path = dir + pattern;
    sink.showStatus("Removing:  " + path);
    ok = DeleteMatchingFiles(path.c_str(), 0) == 1 && ok;  // the pattern deletion's own 1/0
  }
  sink.showStatus("Completed Removal of OVL,BAK and TG4 files");
  return ok ? Status::Ok : Status::WriteFailed;
}

}  // namespace hv::records
