#include "batchprint/print_list.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "batchprint/print_alias.h"
#include "batchprint/regular_file.h"
#include "platform/file_io.h"

namespace hv::batchprint {

std::string temporaryDirectory() {
  const char* env = std::getenv("TMPDIR");
  std::string dir = env != nullptr && env[0] != '\0' ? env : "/tmp";
  if (dir.back() != '/') dir.push_back('/');
  return dir;
}

PrintListWriter::~PrintListWriter() {
  if (fd_ >= 0) discard();
}

bool PrintListWriter::create(const std::string& folder) {
  if (fd_ >= 0) discard();
  std::string dir = folder.empty() ? temporaryDirectory() : folder;
  if (dir.back() != '/') dir.push_back('/');
  std::string name = dir + "bipXXXXXX";
  int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return false;
  fd_ = fd;
  failed_ = false;
  path_ = name;
  return true;
}

bool PrintListWriter::append(const std::string& path) {
  if (fd_ < 0) return false;
  if (path.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) return false;
  std::string line = path + '\n';
  if (!platform::writeFull(fd_, line.data(), line.size())) {
    failed_ = true;
    return false;
  }
  return true;
}

bool PrintListWriter::close() {
  if (fd_ < 0) return false;
  bool ok = !failed_ && ::close(fd_) == 0;
  if (failed_) ::close(fd_);
  fd_ = -1;
  if (!ok) ::unlink(path_.c_str());
  return ok;
}

void PrintListWriter::discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!path_.empty()) ::unlink(path_.c_str());
}

const char* entryStateText(EntryState state) {
  switch (state) {
    case EntryState::Printable: return "file";
    case EntryState::Missing: return "not found";
    case EntryState::Directory: return "directory";
    case EntryState::Fifo: return "named pipe";
    case EntryState::Special: return "not a regular file";
    case EntryState::Unreadable: return "not readable";
    case EntryState::TooLong: return "line too long";
    case EntryState::NotAPath: return "not a path";
  }
  return "";
}

std::size_t PrintList::printable() const {
  std::size_t n = 0;
  for (const auto& e : entries) n += e.state == EntryState::Printable;
  return n;
}

EntryState classifyEntry(const std::string& path) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return EntryState::Missing;
  if (S_ISDIR(st.st_mode)) return EntryState::Directory;
  if (S_ISFIFO(st.st_mode)) return EntryState::Fifo;
  if (!S_ISREG(st.st_mode)) return EntryState::Special;
  if (::access(path.c_str(), R_OK) != 0) return EntryState::Unreadable;
  return EntryState::Printable;
}

namespace {

// Collects lines: keeps at most kMaxListLine characters of each, drops every
// CR and LF, and notes NUL bytes and overlong lines.
class LineCollector {
 public:
  explicit LineCollector(PrintList& list) : list_(list) { line_.reserve(kMaxListLine); }

  void feed(const char* data, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
      const char c = data[i];
      if (c == '\n') {
        finish();
      } else if (c != '\r') {
        ++length_;
        if (c == '\0') hasNul_ = true;
        if (line_.size() < kMaxListLine) line_.push_back(c);
      }
    }
  }

  void finish() {
    if (length_ > 0) {
      if (list_.entries.size() >= kMaxListEntries) {
        ++list_.dropped;
      } else {
        ListEntry e;
        e.listed = line_;
        if (hasNul_) {
          e.state = EntryState::NotAPath;
        } else if (length_ > kMaxListLine) {
          e.state = EntryState::TooLong;
        } else {
          e.path = resolvePrintPath(line_);
          e.state = classifyEntry(e.path);
        }
        list_.entries.push_back(std::move(e));
      }
    }
    line_.clear();
    length_ = 0;
    hasNul_ = false;
  }

 private:
  PrintList& list_;
  std::string line_;
  std::size_t length_ = 0;
  bool hasNul_ = false;
};

}  // namespace

PrintList readPrintList(const std::string& listPath) {
  PrintList list;
  std::int64_t size = 0;
  int fd = openRegularFile(listPath, &size);
  if (fd < 0) {
    list.error = errno == ENOENT ? "missing" : errno == EINVAL ? "not a regular file" : std::strerror(errno);
    return list;
  }
  list.opened = true;
  LineCollector lines(list);
  // Only the bytes the list held when it was opened: a list that keeps
  // growing cannot keep the reader busy.
  std::int64_t left = size;
  char chunk[65536];
  while (left > 0) {
    std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(left, sizeof chunk));
    long got = platform::readFull(fd, chunk, want);
    if (got < 0) list.error = std::strerror(errno);  // the lines read so far stay
    if (got <= 0) break;
    lines.feed(chunk, static_cast<std::size_t>(got));
    left -= got;
  }
  lines.finish();
  platform::closeFile(fd);
  return list;
}

}  // namespace hv::batchprint
